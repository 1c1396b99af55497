/*
 * The archive library's C contract.
 *
 * Text is UTF-8. Paths inside archives are '\'-separated without a leading
 * '\'. Handles are 32-bit; 0 means failure. Name buffers are the callers'
 * 255-byte buffers: the library writes at most HPI_NAME_BUFFER bytes into
 * them, the NUL included.
 *
 * Listing: start with index 0; each call fills `name`, `type` (1 directory,
 * 0 file) and `size`, and returns the index for the next call; 0 ends the
 * listing and leaves the buffer unused. HPIGetFiles walks the whole archive
 * and gives paths from the root; HPIDir lists one directory ("" is the root)
 * and gives bare names.
 *
 * A pack handle lives from HPICreate through HPIAddFile calls to one
 * HPIPackArchive, which ends it whatever its result. An archive handle lives
 * from HPIOpen to HPIClose; HPIClose(0) does nothing. Unknown or ended
 * handles make every call fail.
 */
#ifndef HPIUTIL_HPIUTIL_H
#define HPIUTIL_HPIUTIL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define HPI_NAME_BUFFER 255

/*
 * Packing progress, called on the caller's thread while HPIPackArchive runs:
 * (1) unused, 0; (2) the current file's archive path, NUL-terminated, at most
 * 254 bytes (a pointer, so pointer-sized); (3) files packed so far; (4) files
 * in all; (5) progress within the current file; (6) its maximum; (7) progress
 * within the whole archive; (8) its maximum. Progress values are bytes, scaled
 * down together with their maximum when that would not fit in 31 bits.
 * The result is ignored; return 0.
 */
typedef int32_t (*HPIProgressCallback)(int32_t unused, const char* fileName, int32_t filesDone,
                                       int32_t filesTotal, int32_t fileProgress, int32_t fileMax,
                                       int32_t archiveProgress, int32_t archiveMax);

/* Fills `buffer` with the game's folder, or "" when it is not found. */
void GetTADirectory(char* buffer);

int32_t HPIOpen(const char* archiveFile);
int32_t HPIGetFiles(int32_t archive, int32_t index, char* name, int32_t* type, int32_t* size);
int32_t HPIDir(int32_t archive, int32_t index, const char* directory, char* name, int32_t* type,
               int32_t* size);
/* Non-zero when the member was written to `destination` (its folder must exist). */
int32_t HPIExtractFile(int32_t archive, const char* member, const char* destination);
void HPIClose(int32_t archive);

int32_t HPICreate(const char* archiveFile, HPIProgressCallback progress);
int32_t HPIAddFile(int32_t pack, const char* member, const char* sourceFile);
/* method: 0 none (stored files), 1 LZ77, 2 ZLIB. Non-zero when written. */
int32_t HPIPackArchive(int32_t pack, int32_t method);

/*
 * The reason the last failing call on this thread failed ("" when none).
 * Valid until the next call on this thread.
 */
const char* HPILastError(void);

#ifdef __cplusplus
}
#endif

#endif
