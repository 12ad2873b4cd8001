// What the program says to its user, each text written once: the machine, both
// user interfaces and valvane-run take their words from here, and the document
// test checks that the Referary quotes every one of them. "%1", "%2" ... stand
// for what is filled in (QString::arg, or Messages::Fill where there is no Qt).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace Messages {

// Captions.
inline constexpr char InitialOrders[] = "Initial Orders %1";

// The machine's own stops.
inline constexpr char EndOfTape[] = "End of tape encountered";
inline constexpr char IllegalCharacter[] = "Illegal character on line number %1\r\r[\"%2\" ASCII value %3]";
inline constexpr char UnknownOrder[] = "Unknown order %1";
inline constexpr char OutsideTheStore[] = "Order fetch outside the store at location %1";

// The machine windows.
inline constexpr char NoTape[] = "Please select a program tape";
inline constexpr char NoTapeSelected[] = "No tape selected";
inline constexpr char InputWhileRunning[] = "Cannot input whilst EDSAC is running";
inline constexpr char Stopped[] = "Stopped: %1";

// Files and the printer.
inline constexpr char CannotFind[] = "Cannot find the file: %1";
inline constexpr char CannotRead[] = "Cannot read the file: %1\n%2";
inline constexpr char CannotOpenInWindow[] = "Cannot open the file in a tape window: %1\n%2";
inline constexpr char CannotSave[] = "Cannot save the file: %1\n%2";
inline constexpr char TooLarge[] = "It is larger than %1";
inline constexpr char NotRegular[] = "It is not a regular file but a device, a pipe or a socket";
inline constexpr char SaveChanges[] = "Save changes to %1?";
inline constexpr char Replace[] = "%1\rAlready exists. Would you like to replace it?";
inline constexpr char NoPrinter[] = "No printer is available";
inline constexpr char PrinterUnusable[] = "The printer %1 cannot be used";

// The main window's Help and Edsac menus.
inline constexpr char NoSound[] = "Sound is not currently supported in this version of Valvane";
inline constexpr char Tutorial[] =
    "The tutorial guide can be found by opening the \"Lessonary\" file that was supplied with Valvane";
inline constexpr char Documentation[] =
    "Program documentation can be found by opening the \"Referary\" file that was supplied with Valvane";

// Starting and ending.
inline constexpr char SettingsNotSaved[] = "The settings could not be saved.\n%1";
inline constexpr char Recovered[] = "Valvane ended without saving these tapes; recovery copies were kept:\n\n%1"
                                    "\n\nRestore them in tape windows, or discard them?";

// valvane-run, after "valvane-run: " on the standard error.
inline constexpr char RunCannotFind[] = "cannot find the tape file %1";
inline constexpr char RunCannotRead[] = "cannot read the tape file %1: %2";
inline constexpr char RunCannotWrite[] = "cannot write the %1 file %2: %3";
inline constexpr char RunCannotWriteOutput[] = "cannot write the output: %1";
inline constexpr char RunInitialOrders[] = "--initial-orders must be 1 or 2, not \"%1\"";
inline constexpr char RunMaxOrders[] = "--max-orders needs a whole number, not \"%1\"";
inline constexpr char RunDial[] = "--dial takes digits 0-9 only, not \"%1\"";
inline constexpr char RunNoTape[] = "no tape given (see --help)";
inline constexpr char RunOneTape[] = "one tape only, please (see --help)";
inline constexpr char RunGaveUp[] = "Gave up after %1 orders";

// Every message above, for the document test.
inline constexpr const char* All[] = {
    InitialOrders,    EndOfTape,     IllegalCharacter, UnknownOrder,
    OutsideTheStore,  NoTape,        NoTapeSelected,   InputWhileRunning,
    Stopped,          CannotFind,    CannotRead,       CannotOpenInWindow,
    CannotSave,       TooLarge,      NotRegular,       SaveChanges,
    Replace,          NoPrinter,     PrinterUnusable,  NoSound,
    Tutorial,         Documentation, SettingsNotSaved, Recovered,
    RunCannotFind,    RunCannotRead, RunCannotWrite,   RunCannotWriteOutput,
    RunInitialOrders, RunMaxOrders,  RunDial,          RunNoTape,
    RunOneTape,       RunGaveUp,
};

// Format with "%1" ... "%9" replaced by Args in order.
inline std::string Fill(std::string_view Format, std::initializer_list<std::string_view> Args)
{
    std::string Text;
    for (std::size_t I = 0; I < Format.size(); ++I) {
        const char Next = I + 1 < Format.size() ? Format[I + 1] : '\0';
        const std::size_t N = static_cast<std::size_t>(Next - '1');
        if (Format[I] == '%' && Next >= '1' && Next <= '9' && N < Args.size()) {
            Text += Args.begin()[N];
            ++I;
        } else {
            Text += Format[I];
        }
    }
    return Text;
}

} // namespace Messages
