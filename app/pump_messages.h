// One pass of the setup program's message loop.
#ifndef APP_PUMP_MESSAGES_H
#define APP_PUMP_MESSAGES_H

// 1 when the pass retrieved the quit request (or retrieval failed), else 0.
int PumpMessages(void);

#endif
