/* The public header as a C99 host includes it, compiled with every warning an
 * error. */
#include "include/zebext.h"

long ZebextHeaderVersion(void) {
  return ZEBEXT_VERSION_MAJOR * 10000L + ZEBEXT_VERSION_MINOR * 100L + ZEBEXT_VERSION_PATCH;
}
