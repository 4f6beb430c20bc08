/* Idxconvert: the book-index converter that the dictionary finder starts.
 *
 * A program (Idxconvert.exe, no window) that turns a book index (a ".idx" file beginning with
 * "SSEDINFO") into an electronic book of the form the engine's book reader reads
 * (docs/formats/book.md) with a CATALOGS file of one book beside it, so that the finder can list
 * and register it as a book (kind 4).
 *
 * Command line, as the finder writes it ("%s %s %s", nothing quoted):
 *   <program path> <index path> <My Dictionary folder>
 * Any of the three may be quoted.  Unquoted, the program path ends after the first ".exe" that is
 * followed by a blank, the index path after the first ".idx" followed by a blank, and the rest of
 * the line is the folder (blanks inside it are kept; a trailing backslash is dropped).
 *
 * Book index (all text in Shift-JIS):
 *   offset 0   8 bytes   "SSEDINFO"
 *   offset 8   5 bytes   format mark "01.00"
 *   offset 13  64 bytes  the book's name, padded with zero bytes or blanks
 *   offset 77            the entries, one a line: headword, TAB, text; lines end with LF (CR LF
 *                        too); in the text "\n" is a line break and "\\" a backslash; blank lines
 *                        and lines starting with ';' are skipped; a line without a TAB is a
 *                        headword without text.
 *   Headwords longer than IDXCONVERT_MAX_KEY characters are cut in the index (the entry keeps the
 *   whole headword); texts longer than IDXCONVERT_MAX_TEXT characters are cut.
 *
 * What it leaves, in <My Dictionary folder>\<folder>, where <folder> is the book's name without
 * trailing blanks and dots, every character that a file name cannot hold (\ / : * ? " < > | and
 * control characters) turned into "_", or "Book" for an empty name:
 *   Catalogs           head: book count 1, version 2 (big-endian 16-bit numbers), 12 zero bytes;
 *                      one 164-byte entry: book type 0x20 0x00, the name in JIS X 0208 (40
 *                      characters at most, zero-padded), folder "BOOK" padded with blanks, index
 *                      page in block 1, no external-character fonts (eight blank names)
 *   BOOK\Data\Honmon   the book: directory in block 1 with one forward index of type 0x91 (keys
 *                      compared without case), the entries from block 2 (keyword start, the
 *                      headword, a line break, the text), then the index blocks, root first
 * Characters go into the book as JIS X 0208: ASCII as its full-width forms, half-width katakana as
 * full-width katakana, anything else that has no JIS X 0208 code as "?" (full width).  Both files
 * are first written under new names and then put in place (Catalogs last), so an ended or failed
 * conversion never leaves a half book behind; an existing book of that folder is replaced.
 *
 * Exit codes: */
#ifndef IDXCONVERT_H
#define IDXCONVERT_H

#define IDXCONVERT_EXIT_DONE 0
#define IDXCONVERT_EXIT_USAGE 1        /* the command line names no index or no folder */
#define IDXCONVERT_EXIT_NOT_INDEX 2    /* the index cannot be read, or has no signature or mark */
#define IDXCONVERT_EXIT_EMPTY 3        /* the index holds no entry */
#define IDXCONVERT_EXIT_UNWRITABLE 4   /* the book cannot be written */

#define IDXCONVERT_MAX_KEY 127
#define IDXCONVERT_MAX_TEXT 16000
#define IDXCONVERT_MAX_INDEX (64 * 1024 * 1024)  /* larger index files are not read */

#endif /* IDXCONVERT_H */
