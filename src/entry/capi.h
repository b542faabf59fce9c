#pragma once

/* Plain C interface of libTarnFinGrafPromet11 for hosts that load it with dlopen. Strings are
 * UTF-8. Each call returns 0 on success, or a non-zero error code with the message available from
 * fingraf_last_error() until the next call. A QApplication must exist (fingraf_init makes one
 * when the host has none). */
#ifdef __cplusplus
extern "C" {
#endif

typedef struct fingraf_handle fingraf_handle;

int fingraf_init(void);
fingraf_handle *fingraf_create(void);
void fingraf_destroy(fingraf_handle *h);
const char *fingraf_last_error(void);
const char *fingraf_get_vrsta_programa(fingraf_handle *h);
int fingraf_set_vrsta_programa(fingraf_handle *h, const char *value);

/* method: 1 PrikazGrafPromet, 2 ...Kumulativ, 3 PrihodeRashode, 4 PlanIRealizaciju, 5 ...Budz */
int fingraf_prikazi(fingraf_handle *h, int method, const char *conn, const char *nivo_programa,
                    short broj_poduzeca, short godina, int vrsta_prikaza,
                    const char *vrsta_programa, const char *ime_baze_prometa,
                    const char *ime_operatera, short broj_plana);
/* Runs the host's event loop until every window has closed. */
int fingraf_run(void);

#ifdef __cplusplus
}
#endif
