#include "platform/gtk/gtk_bitmap.h"

#include <cstdint>

namespace zeb::platform {

std::unique_ptr<GtkBitmap> GtkBitmap::Create(int width, int height) {
  if (width < 1 || height < 1 || int64_t{width} * height * 4 > kLargestBitmapBytes) return nullptr;
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height);
  // Rows of width * 4 bytes need no padding, which the contract's layout relies on.
  if (pixbuf == nullptr || gdk_pixbuf_get_rowstride(pixbuf) != width * 4) {
    if (pixbuf != nullptr) g_object_unref(pixbuf);
    return nullptr;
  }
  return std::unique_ptr<GtkBitmap>(new GtkBitmap(pixbuf));
}

}  // namespace zeb::platform
