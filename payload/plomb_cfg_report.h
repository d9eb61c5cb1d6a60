/* Builds the installation report PlombarineCfg.exe shows: the folder the
   product runs from, which of its files are there, and the version the
   installed PlombCore.dll reports. */
#ifndef PLOMB_CFG_REPORT_H
#define PLOMB_CFG_REPORT_H

/* Writes the report (CR LF lines) into out. Returns how many product files are missing. */
int PlombBuildReport(char *out, int outSize);

#endif
