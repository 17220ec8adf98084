#include "automation/WideText.h"

#include <new>

namespace automation {

OleString ToOle(std::string_view utf8) {
  OleString out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    uint32_t code = 0xFFFD;
    size_t extra = 0;
    if (c < 0x80) {
      code = c;
    } else if ((c & 0xE0) == 0xC0) {
      code = c & 0x1F, extra = 1;
    } else if ((c & 0xF0) == 0xE0) {
      code = c & 0x0F, extra = 2;
    } else if ((c & 0xF8) == 0xF0) {
      code = c & 0x07, extra = 3;
    }
    bool valid = c < 0x80 || (extra > 0 && i + extra < utf8.size());
    for (size_t k = 1; valid && k <= extra; ++k) {
      const auto cc = static_cast<unsigned char>(utf8[i + k]);
      if ((cc & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      code = (code << 6) | (cc & 0x3F);
    }
    if (!valid) {
      // Text that is not UTF-8 is taken as Latin-1, byte for byte, so no
      // input is ever lost on the way to the host.
      out.push_back(static_cast<OLECHAR>(c));
      ++i;
      continue;
    }
    i += extra + 1;
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<OLECHAR>(0xD800 + (code >> 10)));
      out.push_back(static_cast<OLECHAR>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<OLECHAR>(code));
    }
  }
  return out;
}

std::string FromOle(OleStringView text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t code = static_cast<uint16_t>(text[i]);
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size()) {
      const uint32_t low = static_cast<uint16_t>(text[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

std::string FromOle(const OLECHAR* text) {
  if (!text) return {};
  return FromOle(OleStringView(text));
}

std::string FromBstr(BSTR text) {
  if (!text) return {};
  return FromOle(OleStringView(text, SysStringLen(text)));
}

BSTR AllocBstr(std::string_view utf8) {
  const OleString wide = ToOle(utf8);
  BSTR result = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (!result) throw std::bad_alloc();
  return result;
}

}  // namespace automation
