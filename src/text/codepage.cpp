#include "codepage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <map>
#include <memory>
#include <string>

namespace tarvelle::text {

namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// Windows writes its default character for every UTF-16 unit it cannot map,
// so a character beyond the BMP becomes two of them.
void substitutePerUnit(const void*, UConverterFromUnicodeArgs* args, const UChar*, int32_t length,
                       UChar32, UConverterCallbackReason reason, UErrorCode* err) {
    if (reason > UCNV_IRREGULAR) return;  // reset, close, clone
    *err = U_ZERO_ERROR;
    for (int32_t i = 0; i < length; ++i) ucnv_cbFromUWriteBytes(args, "?", 1, 0, err);
}

const char* converterName(int codePage) {
    switch (codePage) {
        case 0:
        case 936:
            return "windows-936-2000";
        case 65001:
            return "UTF-8";
        case 1200:
            return "UTF-16LE";
        case 1201:
            return "UTF-16BE";
        case 20127:
            return "US-ASCII";
        case 28591:
            return "ISO-8859-1";
        default:
            return nullptr;
    }
}

// One converter per name and thread, opened on first use.
UConverter* converter(int codePage) {
    thread_local std::map<int, ConverterPtr> cache;
    auto& slot = cache[codePage];
    if (!slot) {
        UErrorCode err = U_ZERO_ERROR;
        std::string name = converterName(codePage) ? converterName(codePage)
                                                   : "windows-" + std::to_string(codePage);
        UConverter* c = ucnv_open(name.c_str(), &err);
        if (U_FAILURE(err)) return nullptr;
        ucnv_setFromUCallBack(c, substitutePerUnit, nullptr, nullptr, nullptr, &err);
        slot.reset(c);
    }
    return slot.get();
}

// Converts `in` into at most `capacity` bytes; what does not fit is dropped.
std::string convert(int toPage, int fromPage, std::string_view in, size_t capacity) {
    UConverter* to = converter(toPage);
    UConverter* from = converter(fromPage);
    if (!to || !from || in.empty() || capacity == 0) return {};
    std::string out(capacity, '\0');
    char* target = out.data();
    const char* source = in.data();
    UErrorCode err = U_ZERO_ERROR;
    ucnv_convertEx(to, from, &target, out.data() + out.size(), &source, in.data() + in.size(),
                   nullptr, nullptr, nullptr, nullptr, true, true, &err);
    out.resize(static_cast<size_t>(target - out.data()));
    return out;
}

// Worst case growth between the encodings involved: 4 bytes per input byte.
size_t roomFor(std::string_view in) { return in.size() * 4 + 4; }

std::string_view unitsBeforeZero(const Bytes& wide) {
    size_t units = 0;
    while (units * 2 + 1 < wide.size() &&
           (wide[units * 2] != '\0' || wide[units * 2 + 1] != '\0')) {
        ++units;
    }
    return std::string_view(wide).substr(0, units * 2);
}

}  // namespace

Text Utf8ToGbk(const Text& utf8) {
    // One pass straight from UTF-8 to 936; no 936 character is longer than
    // the UTF-8 it comes from, so the input's size is room enough.
    return Text(convert(kAnsiCodePage, kUtf8CodePage, utf8.view(), utf8.view().size()));
}

std::string GbkToUtf8(const Text& gbk) {
    return convert(kUtf8CodePage, kAnsiCodePage, gbk.view(), roomFor(gbk.view()));
}

Bytes MultiByteToWideText(const Text& text, std::optional<int> codePage) {
    // Sized by the ANSI reading, whatever code page converts; the zero unit
    // counts too.
    const size_t units = convert(1200, 0, text.view(), roomFor(text.view())).size() / 2 + 1;
    Bytes wide = convert(1200, codePage.value_or(kUtf8CodePage), text.view(), (units - 1) * 2);
    wide.resize(units * 2, '\0');
    return wide;
}

Text WideTextToMultiByte(const Bytes& wide, std::optional<int> codePage) {
    const std::string_view units = unitsBeforeZero(wide);
    const size_t ansiBytes = convert(0, 1200, units, roomFor(units)).size() + 1;
    return Text(convert(codePage.value_or(0), 1200, units, ansiBytes * 2 - 1));
}

}  // namespace tarvelle::text
