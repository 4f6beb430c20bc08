// The engine's user-dictionary reader and writer: what the catalogue, the sessions and the
// dictionary management call.
#ifndef LEXICORE_USERDIC_H
#define LEXICORE_USERDIC_H

#include "../lexicore_int.h"

// Sessions on user dictionaries (read only, shared with a writer in any process).
extern const LcKindOps g_lcUserOps;
// Catalogue load of a main file (rdc): the file record from its header, one sub-dictionary record
// per item file found; the number of records (0: the catalogue builds them).
int LcUser_LoadFile(LcFile *file, const char *path, LcSub ***subsOut);
// Creates the side files of a new user dictionary beside its main file; 0 on failure.
int LcUser_CreateFiles(const char *mainPath, const DicInfo *info, const DicProperty *sub);
// Writes the file id into the header of every side file beside the main file (a copy that took a
// new id); 1, or 0 when a header could not be written.
int LcUser_SetFileId(const char *mainPath, DWORD fileId);
// The session forms of adding and deleting an entry: -1 (add) or 0 (delete) unless the session's
// dictionary is a user dictionary and the change is written.
int LcUser_AddEntry(DicSession *s, const VLDataItem *item, const char *text, const char *second);
int LcUser_DeleteEntry(DicSession *s, const VLDataItem *item);

#endif
