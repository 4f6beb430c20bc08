// What the settings layer's own files share.
#ifndef BASEKIT_SETTINGS_INT_H
#define BASEKIT_SETTINGS_INT_H

int Settings_InFileMode(void);
const char *Settings_ShortPath(void);

#endif
