// Builds and shows the install sequence's error boxes. Every piece is
// appended with a bound, so a long path or name shortens the message
// instead of overrunning it.
#include "install_messages.h"

#include <windows.h>

#include <string.h>

#define MESSAGE_SIZE 2048

static void AppendText(char* message, const char* text)
{
    size_t used = strlen(message);
    size_t room = MESSAGE_SIZE - 1 - used;
    size_t length = strlen(text);
    if (length > room)
        length = room;
    memcpy(message + used, text, length);
    message[used + length] = 0;
}

static void AppendNumber(char* message, unsigned long number)
{
    char digits[16];
    wsprintfA(digits, "%lu", number);
    AppendText(message, digits);
}

// The system's text for a Win32 error, without its closing line break; the
// C runtime's text when only the runtime knew the error.
static void AppendSystemReason(char* message, DWORD error, int crtError)
{
    if (error == 0 && crtError != 0) {
        AppendText(message, strerror(crtError));
        return;
    }
    char reason[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error,
                                  0, reason, sizeof reason, NULL);
    while (length > 0 && (reason[length - 1] == '\r' || reason[length - 1] == '\n' || reason[length - 1] == ' '))
        --length;
    reason[length] = 0;
    AppendText(message, length ? reason : "Unknown error.");
    AppendText(message, " (error ");
    AppendNumber(message, error);
    AppendText(message, ")");
}

static void ShowError(const char* message)
{
    MessageBoxA(NULL, message, "ERROR", MB_OK | MB_ICONERROR);
}

void ShowExtractFailure(const char* targetFolder, const ExtractFailure* failure)
{
    char message[MESSAGE_SIZE] = "Setup could not install into\r\n";
    AppendText(message, targetFolder);
    AppendText(message, "\r\n\r\n");

    switch (failure->kind) {
    case EXTRACT_FAILURE_NO_RESOURCE:
        AppendText(message, "This setup program carries no files to install.");
        break;
    case EXTRACT_FAILURE_DAMAGED_SET:
        AppendText(message, "The files this setup program carries are damaged at byte ");
        AppendNumber(message, failure->offset);
        AppendText(message, ": ");
        AppendText(message, failure->detail);
        AppendText(message, ".");
        break;
    case EXTRACT_FAILURE_REFUSED_NAME:
        AppendText(message, failure->name);
        AppendText(message, " was not written: ");
        AppendText(message, failure->detail);
        AppendText(message, ".");
        break;
    case EXTRACT_FAILURE_PATH_TOO_LONG:
        AppendText(message, failure->name);
        AppendText(message, " was not written: its path would be longer than Windows allows.");
        break;
    default:
        AppendText(message, failure->name);
        AppendText(message, " could not be written: ");
        AppendSystemReason(message, failure->systemError, failure->crtError);
        break;
    }
    AppendText(message, "\r\n\r\nChoose another folder and press Install again.");
    ShowError(message);
}

void ShowInstallPathTooLong(size_t longestAllowed)
{
    char message[MESSAGE_SIZE] = "The install path is too long.\r\n\r\nIt may be at most ";
    AppendNumber(message, (unsigned long)longestAllowed);
    AppendText(message, " characters long, so that the path of every installed file stays within "
                        "the Windows limit.\r\n\r\nChoose a shorter folder and press Install again.");
    ShowError(message);
}
