// The install sequence behind the Install button.
#ifndef INSTALL_RUN_INSTALL_H
#define INSTALL_RUN_INSTALL_H

int RunInstall(void);

#endif
