// The editor gadget's text on GTK, side by side with the bare floor of the same
// work on the toolkit's own text view: 10 MiB of mixed-script text set and read
// back, through SetGadgetText and GetGadgetText (runtime string in, result in the
// temporary string buffer), and through gtk_text_buffer_set_text and get_text with
// GLib's UTF-16 conversion either way. Then the main loop's wake-ups while the text
// window waits untouched for five seconds, with the cursor blinking and without.
// Needs a display (DISPLAY); without one every benchmark is skipped.
#include <benchmark/benchmark.h>

#include <gtk/gtk.h>

#include <string>

#include "platform/gtk/gtk_backend.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/events/application.h"
#include "runtime/events/event_queue.h"
#include "runtime/events/windows.h"
#include "runtime/gadgets/editor_gadget.h"
#include "runtime/gadgets/gadgets.h"
#include "runtime/gadgets/text_window.h"
#include "runtime/media/fonts.h"

namespace {

constexpr size_t kTextBytes = size_t{10} << 20;
constexpr guint kUntouchedMs = 5000;

std::string MixedText() {
  const char* const words[] = {"the", "caf\xC3\xA9", "\xCE\xBA\xCF\x8C\xCF\x83\xCE\xBC\xCE\xBF\xCF\x82",
                               "\xE6\x96\x87\xE5\xAD\x97", "\xF0\x9F\x98\x80", "window", "\xD0\xBC\xD0\xB8\xD1\x80"};
  std::string text;
  for (size_t i = 0; text.size() < kTextBytes; ++i) {
    text += words[i % 7];
    text += i % 11 == 10 ? "\n" : " ";
  }
  return text;
}

std::u16string Units(const std::string& utf8) {
  glong units = 0;
  gunichar2* converted = g_utf8_to_utf16(utf8.data(), static_cast<glong>(utf8.size()), nullptr, &units, nullptr);
  std::u16string text(reinterpret_cast<char16_t*>(converted), static_cast<size_t>(units));
  g_free(converted);
  return text;
}

// The runtime on the GTK backend, once for the whole run.
bool StartRuntime() {
  static const bool started = [] {
    std::unique_ptr<zeb::platform::Toolkit> toolkit = zeb::platform::ConnectGtkToolkit();
    if (toolkit == nullptr) return false;
    zeb::platform::SetToolkit(std::move(toolkit));
    zeb::InitStringBuffer();
    zeb::InitGadgets();
    zeb::InitFonts();
    zeb::InitWindows();
    zeb::StartApplication();
    zeb::InitEvents();
    return true;
  }();
  return started;
}

void Settle() {
  while (gtk_events_pending()) gtk_main_iteration();
}

void BM_GadgetText(benchmark::State& state) {
  if (!StartRuntime()) return state.SkipWithError("no display");
  const std::u16string text = Units(MixedText());
  zeb::OpenWindow(1, 0, 0, 600, 400, u"editor", zeb::WindowSizeable | zeb::WindowClosable);
  zeb::EditorGadget(1, 0, 0, 600, 400, 0);
  Settle();
  for (auto _ : state) {
    zeb::SetGadgetText(1, text.c_str());
    zeb::GetGadgetText(1, 0);
    benchmark::DoNotOptimize(zeb::TempStringAddress(0)[0]);
  }
  zeb::CloseWindow(1);
  Settle();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
}
BENCHMARK(BM_GadgetText)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_TextViewFloor(benchmark::State& state) {
  if (!StartRuntime()) return state.SkipWithError("no display");
  const std::u16string text = Units(MixedText());
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
  GtkWidget* view = gtk_text_view_new();
  gtk_container_add(GTK_CONTAINER(scrolled), view);
  gtk_container_add(GTK_CONTAINER(window), scrolled);
  gtk_window_set_default_size(GTK_WINDOW(window), 600, 400);
  gtk_widget_show_all(window);
  Settle();
  GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
  for (auto _ : state) {
    glong bytes = 0;
    gchar* utf8 = g_utf16_to_utf8(reinterpret_cast<const gunichar2*>(text.data()), static_cast<glong>(text.size()),
                                  nullptr, &bytes, nullptr);
    gtk_text_buffer_set_text(buffer, utf8, static_cast<gint>(bytes));
    g_free(utf8);
    GtkTextIter start;
    GtkTextIter end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    gchar* back = gtk_text_buffer_get_text(buffer, &start, &end, TRUE);
    gunichar2* units = g_utf8_to_utf16(back, -1, nullptr, nullptr, nullptr);
    benchmark::DoNotOptimize(units[0]);
    g_free(units);
    g_free(back);
  }
  gtk_widget_destroy(window);
  Settle();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
}
BENCHMARK(BM_TextViewFloor)->Unit(benchmark::kMillisecond)->Iterations(5);

// Every poll of the main context is one wake-up of the loop.
GPollFunc defaultPoll = nullptr;
int64_t polls = 0;
gint CountingPoll(GPollFD* fds, guint count, gint timeout) {
  ++polls;
  return defaultPoll(fds, count, timeout);
}

gboolean CloseTextWindow(gpointer) {
  zeb::PostEvent(zeb::CloseWindowEvent, zeb::kReservedWindow, zeb::kReservedWindow, 0);
  return G_SOURCE_REMOVE;
}

// The text window opened and left alone; the only timer of the benchmark's own
// closes it after five seconds. The wake-ups of the first second (the window
// mapping, drawing, taking the focus) are counted apart from the four after.
void BM_UntouchedTextWindow(benchmark::State& state) {
  if (!StartRuntime()) return state.SkipWithError("no display");
  g_object_set(gtk_settings_get_default(), "gtk-cursor-blink", state.range(0) != 0 ? TRUE : FALSE, nullptr);
  GMainContext* context = g_main_context_default();
  defaultPoll = g_main_context_get_poll_func(context);
  int64_t settled = 0;
  for (auto _ : state) {
    polls = 0;
    g_main_context_set_poll_func(context, CountingPoll);
    g_timeout_add(1000, [](gpointer count) {
      *static_cast<int64_t*>(count) = polls;
      return G_SOURCE_REMOVE;
    }, &settled);
    g_timeout_add(kUntouchedMs, CloseTextWindow, nullptr);
    zeb::TextWindow(400, 300, u"untouched", u"some text", u"Done", 0);
    g_main_context_set_poll_func(context, defaultPoll);
  }
  state.counters["wakeups_first_second"] = static_cast<double>(settled);
  // The closing timer's own wake-up is not the loop's.
  state.counters["wakeups_after"] = static_cast<double>(polls - settled - 1);
}
BENCHMARK(BM_UntouchedTextWindow)->Arg(1)->Arg(0)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
