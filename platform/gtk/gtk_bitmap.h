// A bitmap of the GTK backend: a GdkPixbuf with alpha, 8 bits per sample.
#pragma once

#include <memory>

#include "platform/gtk/gtk_resources.h"
#include "platform/toolkit.h"

namespace zeb::platform {

class GtkBitmap : public Bitmap {
 public:
  // Null when the size is refused or the pixels cannot be had.
  static std::unique_ptr<GtkBitmap> Create(int width, int height);

  int Width() const override { return gdk_pixbuf_get_width(pixbuf_.get()); }
  int Height() const override { return gdk_pixbuf_get_height(pixbuf_.get()); }
  uint8_t* Pixels() override { return gdk_pixbuf_get_pixels(pixbuf_.get()); }
  GdkPixbuf* pixbuf() const { return pixbuf_.get(); }

 private:
  explicit GtkBitmap(GdkPixbuf* pixbuf) : pixbuf_(pixbuf) {}
  GObjectPtr<GdkPixbuf> pixbuf_;
};

}  // namespace zeb::platform
