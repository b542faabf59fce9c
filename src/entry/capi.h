#pragma once

/* Plain C interface of libTarnFinGrafPromet11, for hosts that load it with dlopen.
 *
 * Strings going in and out are UTF-8. Every function is called from the thread that called
 * fingraf_init(), the host's user-interface thread.
 *
 * Errors: a function that returns int returns FINGRAF_OK (0) on success and one of the codes
 * below otherwise; fingraf_create() returns NULL. The message that goes with the last failure is
 * fingraf_last_error().
 *
 * Handles: a handle is made by fingraf_create() and ends with fingraf_destroy(). The library
 * keeps a list of the handles it has made and never reads through a handle that is not on it: a
 * NULL handle, one destroyed before (also a second fingraf_destroy() of it) or a value that
 * fingraf_create() never returned is refused with FINGRAF_E_HANDLE, never a crash. Handle
 * values are not reused.
 */
#include "fingraf_export.h"

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Error codes. */
#define FINGRAF_OK 0
#define FINGRAF_E_NO_APPLICATION 1 /* no QApplication: call fingraf_init() first */
#define FINGRAF_E_HANDLE 2         /* NULL, destroyed, or not made by fingraf_create() */
#define FINGRAF_E_METHOD 3         /* fingraf_prikazi(): no method of that number */
#define FINGRAF_E_FAILED 4         /* the method could not open its window; see the message */
#define FINGRAF_E_BUFFER 5         /* the caller's buffer is too small; see *needed */
#define FINGRAF_E_ARGUMENT 6       /* a required pointer argument is NULL */

typedef struct fingraf_handle fingraf_handle;

/* Makes the QApplication when the host has none (it stays for the life of the process).
 * Returns FINGRAF_OK. */
FINGRAF_EXPORT int fingraf_init(void);

/* A new object. NULL with FINGRAF_E_NO_APPLICATION's message when fingraf_init() was not called
 * and the host has no QApplication. The caller owns the handle and ends it with
 * fingraf_destroy(). */
FINGRAF_EXPORT fingraf_handle *fingraf_create(void);

/* Ends a handle: FINGRAF_OK, or FINGRAF_E_HANDLE for one that is not live (it is left alone).
 * Windows the object opened stay open. */
FINGRAF_EXPORT int fingraf_destroy(fingraf_handle *h);

/* The message of the last failed call, "" when the last call succeeded. The string belongs to
 * the library and stays valid until the next call of any fingraf_ function. */
FINGRAF_EXPORT const char *fingraf_last_error(void);

/* The object's program type (VrstaPrograma). The string belongs to the handle: it stays valid
 * until the program type changes (fingraf_set_vrsta_programa(), fingraf_prikazi()) or the handle
 * is destroyed; copy it to keep it longer, or use fingraf_copy_vrsta_programa(). For a handle
 * that is not live: "" (a constant string) with FINGRAF_E_HANDLE's message. */
FINGRAF_EXPORT const char *fingraf_get_vrsta_programa(fingraf_handle *h);

/* The program type copied into the caller's buffer of size bytes, with its terminating zero.
 * *needed (when not NULL) receives the bytes the whole string needs, zero included. Returns
 * FINGRAF_OK; FINGRAF_E_BUFFER when it does not fit (buffer untouched); FINGRAF_E_HANDLE;
 * FINGRAF_E_ARGUMENT when buffer is NULL and size is not 0. */
FINGRAF_EXPORT int fingraf_copy_vrsta_programa(fingraf_handle *h, char *buffer, size_t size,
                                               size_t *needed);

/* Sets the program type; value NULL means "". Returns FINGRAF_OK or FINGRAF_E_HANDLE. */
FINGRAF_EXPORT int fingraf_set_vrsta_programa(fingraf_handle *h, const char *value);

/* Opens a chart window as the method of the same name does. method: 1 PrikažiGrafPromet,
 * 2 PrikažiGrafPrometKumulativ, 3 PrikažiPrihodeRashode, 4 PrikažiPlanIRealizaciju,
 * 5 PrikažiPlanIRealizacijuBudž. String arguments are read during the call only; NULL means "".
 * vrsta_prikaza 1 shows the window modally and returns when it closes. Returns FINGRAF_OK,
 * FINGRAF_E_HANDLE, FINGRAF_E_METHOD or FINGRAF_E_FAILED. */
FINGRAF_EXPORT int fingraf_prikazi(fingraf_handle *h, int method, const char *conn,
                                   const char *nivo_programa, short broj_poduzeca, short godina,
                                   int vrsta_prikaza, const char *vrsta_programa,
                                   const char *ime_baze_prometa, const char *ime_operatera,
                                   short broj_plana);

/* Runs the host's event loop until every window has closed and returns the loop's exit code (0
 * when the last window closed); returns FINGRAF_OK at once when no window is open, and
 * FINGRAF_E_NO_APPLICATION without a QApplication. */
FINGRAF_EXPORT int fingraf_run(void);

#ifdef __cplusplus
}
#endif
