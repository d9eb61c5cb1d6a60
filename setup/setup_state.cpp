// The one instance of SetupState; zero at start, as the flag and handles
// must be before WinMain runs.
#include "setup_state.h"

SetupStateRecord SetupState;
