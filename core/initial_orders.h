// The two bootstrap loaders, laid down word by word in the lowest locations.
#pragma once

class TStore;

void LoadInitialOrders1(TStore& Store);
void LoadInitialOrders2(TStore& Store);
