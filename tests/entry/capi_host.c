/* A host written in C: loads the component with dlopen and holds it to the rules of its header.
 * Argument: the library's path. Exits 0 when every rule held. */
#include "entry/capi.h"

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int failures = 0;

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition);                \
            ++failures;                                                                            \
        }                                                                                          \
    } while (0)

/* A function of the library, looked up by name as a host in another language does; the host
 * ends when one is missing. */
static void *symbol(void *lib, const char *name)
{
    void *s = dlsym(lib, name);
    if (!s) {
        fprintf(stderr, "missing symbol %s\n", name);
        exit(1);
    }
    return s;
}

int main(int argc, char **argv)
{
    if (argc < 2) /* no library named */
        return 2;
    /* nothing here should take long: a call that blocks (fingraf_run(), or a box waiting for an
     * answer) is ended by the alarm instead of hanging the test */
    alarm(60);
    void *lib = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    __typeof__(fingraf_init) *init = symbol(lib, "fingraf_init");
    __typeof__(fingraf_create) *create = symbol(lib, "fingraf_create");
    __typeof__(fingraf_destroy) *destroy = symbol(lib, "fingraf_destroy");
    __typeof__(fingraf_last_error) *last_error = symbol(lib, "fingraf_last_error");
    __typeof__(fingraf_get_vrsta_programa) *get = symbol(lib, "fingraf_get_vrsta_programa");
    __typeof__(fingraf_copy_vrsta_programa) *copy = symbol(lib, "fingraf_copy_vrsta_programa");
    __typeof__(fingraf_set_vrsta_programa) *set = symbol(lib, "fingraf_set_vrsta_programa");
    __typeof__(fingraf_prikazi) *prikazi = symbol(lib, "fingraf_prikazi");
    __typeof__(fingraf_run) *run = symbol(lib, "fingraf_run");

    CHECK(create() == NULL); /* no application yet */
    CHECK(strstr(last_error(), "fingraf_init") != NULL);
    CHECK(init() == FINGRAF_OK);
    CHECK(run() == FINGRAF_OK); /* returns at once without a window */

    fingraf_handle *h = create();
    CHECK(h != NULL);
    CHECK(strcmp(last_error(), "") == 0);
    /* the program type: a string that outlives the next call, or a copy into the host's buffer */
    CHECK(set(h, "FIN") == FINGRAF_OK);
    const char *first = get(h);
    const char *second = get(h);
    CHECK(strcmp(first, "FIN") == 0);
    CHECK(strcmp(second, "FIN") == 0);
    char small[3]; /* a buffer of its own, so that a write past it is seen */
    char buffer[16];
    size_t needed = 0;
    CHECK(copy(h, small, sizeof small, &needed) == FINGRAF_E_BUFFER);
    CHECK(needed == 4);
    CHECK(copy(h, NULL, 0, &needed) == FINGRAF_E_BUFFER);
    CHECK(copy(h, NULL, 8, &needed) == FINGRAF_E_ARGUMENT);
    CHECK(copy(h, buffer, sizeof buffer, NULL) == FINGRAF_OK);
    CHECK(strcmp(buffer, "FIN") == 0);
    CHECK(set(h, "Pogonsko \xC4\x8D") == FINGRAF_OK); /* UTF-8 both ways */
    CHECK(strcmp(get(h), "Pogonsko \xC4\x8D") == 0);

    CHECK(prikazi(h, 9, "", "1", 1, 2026, 0, "FIN", "PROMET", "op", 1) == FINGRAF_E_METHOD);
    CHECK(strstr(last_error(), "9") != NULL);
    CHECK(run() == FINGRAF_OK); /* the refused call opened nothing */

    fingraf_handle *other = create();
    CHECK(other != NULL && other != h);
    CHECK(destroy(h) == FINGRAF_OK);
    /* a dead handle, and ones never made, are refused */
    int local = 0;
    fingraf_handle *strange[] = {h, NULL, (fingraf_handle *)&local, (fingraf_handle *)16};
    for (size_t i = 0; i < sizeof strange / sizeof strange[0]; ++i) {
        CHECK(destroy(strange[i]) == FINGRAF_E_HANDLE);
        CHECK(strlen(last_error()) > 0);
        CHECK(set(strange[i], "X") == FINGRAF_E_HANDLE);
        CHECK(copy(strange[i], buffer, sizeof buffer, NULL) == FINGRAF_E_HANDLE);
        CHECK(strcmp(get(strange[i]), "") == 0);
        CHECK(prikazi(strange[i], 1, "", "1", 1, 2026, 0, "FIN", "PROMET", "op", 1) ==
              FINGRAF_E_HANDLE);
    }
    /* the other handle lives on */
    CHECK(set(other, "PLAN") == FINGRAF_OK);
    CHECK(strcmp(get(other), "PLAN") == 0);
    CHECK(destroy(other) == FINGRAF_OK);
    fingraf_handle *again = create();
    CHECK(again != h && again != other); /* handle values are not reused */
    CHECK(destroy(again) == FINGRAF_OK);

    return failures == 0 ? 0 : 1;
}
