/* A bookkeeping host in C: loads libTarnFinGrafPromet11 by name, opens the turnover chart of the
 * book whose connection string it is given and shows the windows until they are closed.
 *
 *   c_host "Provider=SQLite;Data Source=book.sqlite" [--no-wait]
 *
 * --no-wait returns once the window is open (for a run without a screen). */
#include <capi.h>

#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

typedef int (*init_fn)(void);
typedef fingraf_handle *(*create_fn)(void);
typedef int (*destroy_fn)(fingraf_handle *);
typedef const char *(*last_error_fn)(void);
typedef int (*prikazi_fn)(fingraf_handle *, int, const char *, const char *, short, short, int,
                          const char *, const char *, const char *, short);
typedef int (*run_fn)(void);

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: %s CONNECTION [--no-wait]\n", argv[0]);
        return 2;
    }
    void *lib = dlopen("libTarnFinGrafPromet11.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        fprintf(stderr, "cannot load the component: %s\n", dlerror());
        return 1;
    }
    init_fn init;
    create_fn create;
    destroy_fn destroy;
    last_error_fn last_error;
    prikazi_fn prikazi;
    run_fn run;
    *(void **)&init = dlsym(lib, "fingraf_init");
    *(void **)&create = dlsym(lib, "fingraf_create");
    *(void **)&destroy = dlsym(lib, "fingraf_destroy");
    *(void **)&last_error = dlsym(lib, "fingraf_last_error");
    *(void **)&prikazi = dlsym(lib, "fingraf_prikazi");
    *(void **)&run = dlsym(lib, "fingraf_run");
    if (!init || !create || !destroy || !last_error || !prikazi || !run) {
        fprintf(stderr, "the component lacks a function: %s\n", dlerror());
        return 1;
    }

    init();
    fingraf_handle *h = create();
    if (!h) {
        fprintf(stderr, "fingraf_create: %s\n", last_error());
        return 1;
    }
    /* An unsafe turnover table name is refused with a message, before anything is opened. */
    if (prikazi(h, 1, argv[1], "1", 1, 2026, 0, "FIN", "PROMET; DROP", "host", 0) !=
        FINGRAF_E_FAILED) {
        fprintf(stderr, "a bad table name was taken\n");
        return 1;
    }
    printf("refused: %s\n", last_error());
    /* Method 1, PrikažiGrafPromet: firm 1, year 2026, shown modeless (0). */
    if (prikazi(h, 1, argv[1], "1", 1, 2026, 0, "FIN", "PROMET", "host", 0) != FINGRAF_OK) {
        fprintf(stderr, "fingraf_prikazi: %s\n", last_error());
        return 1;
    }
    printf("turnover window open\n");
    destroy(h);
    if (argc > 2 && strcmp(argv[2], "--no-wait") == 0)
        return 0;
    return run();
}
