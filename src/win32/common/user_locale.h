#pragma once

// The decimal separator of the user's number format: ',' where it is a comma, else '.'.
//
// Windows keeps the user's format in HKCU\Control Panel\International beside the name of the
// locale it was written for. Wine writes that copy from LANG, and rewrites it whenever a program
// started under another LANG in the same prefix starts (another program, a helper, a second
// window), so a read of it races with every such start. Values written for another locale than
// this process's are no choice of this user's: that locale's own separator stands for them then.
char userDecimalSeparator();
