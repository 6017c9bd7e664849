/*
 * mireocore — pixel and file-format library of Mireo.
 *
 * Every export takes its arguments by reference and returns nothing that the
 * caller must examine: failures are reported by the library itself through
 * its window system (a message box, or one line on standard error when no
 * window system is installed), and callers judge the outcome by the output
 * files that exist.  The library is not re-entrant: call one export at a time.
 */
#ifndef MIREOCORE_H
#define MIREOCORE_H

#include <stdint.h>

#if defined(MIREOCORE_BUILDING)
#define MIREO_API __attribute__((visibility("default")))
#else
#define MIREO_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The caller's array descriptor. */
typedef struct MireoArray {
    void*   data;          /* first element */
    int32_t dims;          /* 1 or 2 */
    int32_t elementSize;   /* bytes per element: 1 for bytes, 4 for single-precision numbers */
    int32_t count[2];      /* elements in each dimension; dimension 0 varies fastest in memory */
    int32_t lowerBound[2]; /* index of the first element in each dimension */
} MireoArray;

/* The caller's 8-bit string variable (UTF-8 paths on this platform). */
typedef struct MireoString {
    char*   text;          /* not necessarily NUL-terminated */
    int32_t length;        /* characters in use */
    int32_t capacity;      /* bytes writable at text */
} MireoString;

/* Icons of a message box. */
enum {
    MIREO_ICON_NONE = 0,
    MIREO_ICON_INFORMATION = 64
};

/*
 * The host's window system.  The library shows its message boxes and its
 * progress window through these functions.  A progress window has three
 * controls: a text label, a hidden cancel-state label and a bar of range
 * 0 to 100.  Window handles are non-zero; 0 means "no window".
 * Every function receives `context` as its first argument.  Text arguments
 * are NUL-terminated UTF-8.
 */
typedef struct MireoWindowSystem {
    void* context;
    /* A modal box with an OK button; caption NULL leaves the host's default. */
    void    (*messageBox)(void* context, const char* text, const char* caption, int32_t icon);
    /* Create the progress window (owner `parent`, 0 for none) with its
     * controls, bar range 0..100 at position 0; returns 0 on failure. */
    int32_t (*createProgress)(void* context, int32_t parent, const char* caption);
    void    (*showProgress)(void* context, int32_t window);
    void    (*destroyProgress)(void* context, int32_t window);
    void    (*setProgressPosition)(void* context, int32_t window, int32_t position);
    void    (*setProgressText)(void* context, int32_t window, const char* text);
    int32_t (*isWindow)(void* context, int32_t window);
    int32_t (*isWindowVisible)(void* context, int32_t window);
    /* Copy the cancel-state label (NUL-terminated, cut to capacity - 1). */
    void    (*readCancelLabel)(void* context, int32_t window, char* buffer, int32_t capacity);
    /* Let the host process its pending window messages. */
    void    (*processMessages)(void* context);
} MireoWindowSystem;

MIREO_API void WriteBmp24(const MireoArray* bits, const int32_t* width, const int32_t* height,
                          const MireoString* fileName, const int32_t* bitsPerPixel);
MIREO_API void WriteBmp8(const MireoArray* bits, const MireoArray* palette, const int32_t* width,
                         const int32_t* height, const MireoString* fileName, const int32_t* bitsPerPixel);
MIREO_API void WriteBmp8dith(const MireoArray* bits, const MireoArray* palette, const int32_t* width,
                             const int32_t* height, const MireoString* fileName, const int32_t* bitsPerPixel);
MIREO_API void WriteBmp4(const MireoArray* bits, const MireoArray* palette, const int32_t* width,
                         const int32_t* height, const MireoString* fileName, const int32_t* bitsPerPixel);
MIREO_API void WriteBmp4dith(const MireoArray* bits, const MireoArray* palette, const int32_t* width,
                             const int32_t* height, const MireoString* fileName, const int32_t* bitsPerPixel);
MIREO_API void RotateImg(const MireoString* fileName, const MireoString* direction);
MIREO_API void CompilePDB(const MireoString* sourcePath, const MireoArray* greyTable, const MireoArray* palm8Table,
                          const int32_t* width, const int32_t* height, const int16_t* depth, MireoString* name,
                          const MireoString* outputPath, const int16_t* compress, const int32_t* blockSize,
                          int32_t* fileSize);
MIREO_API void ReadVTBI(const MireoArray* greyTable, const MireoArray* palm8Table, const MireoString* pdbPath,
                        const MireoString* bmpPath, int16_t* depth);

MIREO_API int32_t PROGRESS_INIT(int32_t parentWindow, const MireoString* caption);
MIREO_API void    PROGRESS_SET(int32_t window, int32_t percent, const MireoString* text);
MIREO_API void    PROGRESS_SHUTDOWN(int32_t window);
MIREO_API int32_t PROGESS_IS_CANCELLED(int32_t window);

/* Install the host's window system (the struct is copied); NULL restores the
 * default, which never blocks: messages go to standard error and progress
 * windows are headless. */
MIREO_API void MireoSetWindowSystem(const MireoWindowSystem* windowSystem);

#ifdef __cplusplus
}
#endif

#endif /* MIREOCORE_H */
