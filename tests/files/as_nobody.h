// Runs a stretch of a test as the unprivileged user "nobody", so that file
// permissions bind even when the suite runs as root. Unavailable says why not.
#pragma once

#include <QString>
#include <unistd.h>

class TAsNobody {
public:
    TAsNobody()
    {
        if (::geteuid() != 0)
            return; // permissions already bind
        if (::setegid(65534) != 0 || ::seteuid(65534) != 0) {
            ::setegid(0);
            Unavailable = QStringLiteral("cannot take on another user's rights here");
            return;
        }
        Dropped = true;
    }
    ~TAsNobody()
    {
        if (Dropped) {
            ::seteuid(0);
            ::setegid(0);
        }
    }
    TAsNobody(const TAsNobody&) = delete;
    TAsNobody& operator=(const TAsNobody&) = delete;

    QString Unavailable;

private:
    bool Dropped = false;
};
