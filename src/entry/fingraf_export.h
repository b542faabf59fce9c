#pragma once

/* Marks what libTarnFinGrafPromet11 exports: the library is built with hidden visibility, so only
 * declarations carrying FINGRAF_EXPORT are seen by hosts. */
#if defined(__GNUC__) || defined(__clang__)
#define FINGRAF_EXPORT __attribute__((visibility("default")))
#else
#define FINGRAF_EXPORT
#endif
