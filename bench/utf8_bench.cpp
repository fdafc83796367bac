// UTF-8 <-> runtime string units on 64 MiB of valid text, pure ASCII and mixed
// (2-, 3- and 4-byte characters among ASCII words), side by side: the runtime's
// path that every host string takes (ReadMemoryString of the whole text into the
// temporary string buffer, as DecodeHostString does before it hands the units to
// the export's own block; EncodeHostString into the buffer), the converter's
// writing pass alone, glibc's iconv, and a plain one-byte-at-a-time loop. Every
// way writes into memory that earlier iterations already touched.
// Every benchmark reports the UTF-8 side's size as bytes processed, so the
// figures of both directions compare directly.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "extension/host_strings.h"
#include "runtime/core/memory_strings.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/core/text_conversion.h"

namespace {

using zeb::Unit;

constexpr size_t kTextBytes = size_t{64} << 20;
constexpr int kIterations = 10;

std::string MakeText(bool mixed) {
  static const char* const kAsciiWords[] = {"the", "quick",  "brown",  "fox",    "jumps",  "over",  "lazy",
                                            "dog", "window", "gadget", "string", "buffer", "event", "menu"};
  // Words with 2-byte (Latin, Greek, Cyrillic), 3-byte (CJK, kana, the euro sign)
  // and 4-byte (emoji) characters.
  static const char* const kOtherWords[] = {
      "caf\xC3\xA9", "se\xC3\xB1or", "\xCE\xBA\xCF\x8C\xCF\x83\xCE\xBC\xCE\xBF\xCF\x82",
      "\xD0\xBC\xD0\xB8\xD1\x80", "na\xC3\xAFve", "\xE6\x96\x87\xE5\xAD\x97", "\xE2\x82\xAC\x31\x30",
      "\xE3\x81\x82\xE3\x82\x8A\xE3\x81\x8C\xE3\x81\xA8\xE3\x81\x86", "\xF0\x9F\x98\x80", "ok\xF0\x9F\x91\x8D"};
  std::mt19937 random(7);
  std::string text;
  text.reserve(kTextBytes + 64);
  while (text.size() < kTextBytes) {
    // Mixed text: about one word in three is not ASCII.
    if (mixed && random() % 3 == 0) {
      text += kOtherWords[random() % std::size(kOtherWords)];
    } else {
      text += kAsciiWords[random() % std::size(kAsciiWords)];
    }
    text += random() % 12 == 0 ? '\n' : ' ';
  }
  // Cut at a character boundary so the text stays valid.
  size_t end = kTextBytes;
  while ((static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

const std::string& Text(bool mixed) {
  static const std::string ascii = MakeText(false);
  static const std::string other = MakeText(true);
  return mixed ? other : ascii;
}

const std::vector<Unit>& TextUnits(bool mixed) {
  static const auto decode = [](const std::string& text) {
    std::vector<Unit> units(text.size());
    units.resize(static_cast<size_t>(zeb::MultiByteToUnicode(zeb::CodePageUTF8, 0, text.data(),
                                                             static_cast<int64_t>(text.size()), units.data(),
                                                             static_cast<int64_t>(units.size()))));
    return units;
  };
  static const std::vector<Unit> ascii = decode(Text(false));
  static const std::vector<Unit> other = decode(Text(true));
  return mixed ? other : ascii;
}

// The plain loops: what a straightforward converter does, one byte or one
// unit per step, for valid text.
int64_t PlainDecode(const uint8_t* p, const uint8_t* end, Unit* out) {
  Unit* d = out;
  while (p < end) {
    const uint32_t lead = *p++;
    if (lead < 0x80) {
      *d++ = static_cast<Unit>(lead);
      continue;
    }
    int trail = lead >= 0xF0 ? 3 : (lead >= 0xE0 ? 2 : 1);
    uint32_t value = lead & (0x3F >> trail);
    while (trail-- > 0 && p < end) value = (value << 6) | (*p++ & 0x3F);
    if (value > 0xFFFF) {
      value -= 0x10000;
      *d++ = static_cast<Unit>(0xD800 | (value >> 10));
      *d++ = static_cast<Unit>(0xDC00 | (value & 0x3FF));
    } else {
      *d++ = static_cast<Unit>(value);
    }
  }
  return d - out;
}

int64_t PlainEncode(const Unit* s, const Unit* end, uint8_t* out) {
  uint8_t* d = out;
  while (s < end) {
    uint32_t v = *s++;
    if (v >= 0xD800 && v <= 0xDBFF && s < end) v = 0x10000 + (((v & 0x3FF) << 10) | (*s++ & 0x3FF));
    if (v < 0x80) {
      *d++ = static_cast<uint8_t>(v);
    } else if (v < 0x800) {
      *d++ = static_cast<uint8_t>(0xC0 | (v >> 6));
      *d++ = static_cast<uint8_t>(0x80 | (v & 0x3F));
    } else if (v < 0x10000) {
      *d++ = static_cast<uint8_t>(0xE0 | (v >> 12));
      *d++ = static_cast<uint8_t>(0x80 | ((v >> 6) & 0x3F));
      *d++ = static_cast<uint8_t>(0x80 | (v & 0x3F));
    } else {
      *d++ = static_cast<uint8_t>(0xF0 | (v >> 18));
      *d++ = static_cast<uint8_t>(0x80 | ((v >> 12) & 0x3F));
      *d++ = static_cast<uint8_t>(0x80 | ((v >> 6) & 0x3F));
      *d++ = static_cast<uint8_t>(0x80 | (v & 0x3F));
    }
  }
  return d - out;
}

enum class Way { kHostPath, kWrite, kIconv, kPlain };

void Finish(benchmark::State& state, const std::string& text, int64_t produced, int64_t expected) {
  if (produced != expected) state.SkipWithError("wrong length");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void Decode(benchmark::State& state, bool mixed, Way way) {
  const std::string& text = Text(mixed);
  const auto length = static_cast<int64_t>(text.size());
  const auto expected = static_cast<int64_t>(TextUnits(mixed).size());
  std::vector<Unit> out(text.size());
  iconv_t converter = way == Way::kIconv ? iconv_open("UTF-16LE", "UTF-8") : iconv_t(-1);
  // The buffer grows once, before the timing, as it does in a running host.
  if (way == Way::kHostPath) zeb::ReadMemoryString(text.c_str(), -1, zeb::TextFormatUTF8, 0);
  int64_t produced = 0;
  for (auto _ : state) {
    switch (way) {
      case Way::kHostPath: {
        zeb::ReadMemoryString(text.c_str(), -1, zeb::TextFormatUTF8, 0);
        produced = zeb::TempBufferPosition() / 2;
        break;
      }
      case Way::kWrite:
        produced = zeb::MultiByteToUnicode(zeb::CodePageUTF8, 0, text.data(), length, out.data(), length);
        break;
      case Way::kIconv: {
        char* in = const_cast<char*>(text.data());
        char* to = reinterpret_cast<char*>(out.data());
        size_t inLeft = text.size();
        size_t outLeft = out.size() * sizeof(Unit);
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        iconv(converter, &in, &inLeft, &to, &outLeft);
        produced = static_cast<int64_t>(out.size() - outLeft / sizeof(Unit));
        break;
      }
      case Way::kPlain: {
        const auto* p = reinterpret_cast<const uint8_t*>(text.data());
        produced = PlainDecode(p, p + length, out.data());
        break;
      }
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  if (converter != iconv_t(-1)) iconv_close(converter);
  Finish(state, text, produced, expected);
}

void Encode(benchmark::State& state, bool mixed, Way way) {
  const std::string& text = Text(mixed);
  const std::vector<Unit>& units = TextUnits(mixed);
  const auto length = static_cast<int64_t>(units.size());
  std::vector<char> out(text.size() + 3);
  std::vector<Unit> terminated(units);
  terminated.push_back(0);
  iconv_t converter = way == Way::kIconv ? iconv_open("UTF-8", "UTF-16LE") : iconv_t(-1);
  if (way == Way::kHostPath) zeb::EncodeHostString(terminated.data());
  int64_t produced = 0;
  for (auto _ : state) {
    switch (way) {
      case Way::kHostPath: {
        zeb::SetTempBufferPosition(0);
        const char* encoded = zeb::EncodeHostString(terminated.data());
        const size_t bytes = text.size();
        produced = encoded[bytes] == 0 && encoded[bytes - 1] != 0 ? static_cast<int64_t>(bytes) : -1;
        break;
      }
      case Way::kWrite:
        produced = zeb::UnicodeToMultiByte(zeb::CodePageUTF8, 0, units.data(), length, out.data(),
                                           static_cast<int64_t>(text.size()));
        break;
      case Way::kIconv: {
        char* in = reinterpret_cast<char*>(const_cast<Unit*>(units.data()));
        char* to = out.data();
        size_t inLeft = units.size() * sizeof(Unit);
        size_t outLeft = out.size();
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        iconv(converter, &in, &inLeft, &to, &outLeft);
        produced = static_cast<int64_t>(out.size() - outLeft);
        break;
      }
      case Way::kPlain:
        produced = PlainEncode(units.data(), units.data() + length, reinterpret_cast<uint8_t*>(out.data()));
        break;
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  if (converter != iconv_t(-1)) iconv_close(converter);
  Finish(state, text, produced, static_cast<int64_t>(text.size()));
}

void Register() {
  const std::pair<const char*, Way> ways[] = {{"host_path", Way::kHostPath},
                                              {"ours_write", Way::kWrite},
                                              {"iconv", Way::kIconv},
                                              {"plain_loop", Way::kPlain}};
  for (const bool mixed : {false, true}) {
    const std::string text = mixed ? "mixed" : "ascii";
    for (const auto& [name, way] : ways) {
      benchmark::RegisterBenchmark(("decode/" + text + "/" + name).c_str(),
                                   [mixed, way = way](benchmark::State& state) { Decode(state, mixed, way); })
          ->Iterations(kIterations)
          ->Unit(benchmark::kMillisecond);
    }
    for (const auto& [name, way] : ways) {
      benchmark::RegisterBenchmark(("encode/" + text + "/" + name).c_str(),
                                   [mixed, way = way](benchmark::State& state) { Encode(state, mixed, way); })
          ->Iterations(kIterations)
          ->Unit(benchmark::kMillisecond);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  zeb::InitStringBuffer();
  Register();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
