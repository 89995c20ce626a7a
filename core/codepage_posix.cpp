#include "core/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace kesrow {
namespace {

// One conversion descriptor per direction and thread, opened on first use:
// a descriptor keeps state, and the share worker converts while the
// user-interface thread does.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }

    // Converts all of in; at each sequence that cannot be converted, writes
    // substitute and skips skipBytes(in) bytes of input.
    template <class Skip>
    std::string run(std::string_view in, std::string_view substitute, Skip skipBytes)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        out.reserve(in.size() * 3 / 2 + 8);
        char buf[4096];
        auto* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        while (srcLeft > 0) {
            char* dst = buf;
            size_t dstLeft = sizeof buf;
            size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf, dst - buf);
            if (rc != static_cast<size_t>(-1) || errno == E2BIG) continue;
            // EILSEQ or EINVAL (a sequence cut off at the end)
            out.append(substitute);
            size_t skip = std::min(srcLeft, skipBytes(std::string_view(src, srcLeft)));
            src += skip;
            srcLeft -= skip;
        }
        return out;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::string codepage::SystemToCp932(std::string_view utf8)
{
    thread_local Converter encoder("CP932", "UTF-8");
    return encoder.run(utf8, "?", Utf8SequenceLength);
}

std::string codepage::SystemFromCp932(std::string_view bytes)
{
    thread_local Converter decoder("UTF-8", "CP932");
    return decoder.run(bytes, "\xEF\xBF\xBD", [](std::string_view) { return size_t{1}; });
}

}  // namespace kesrow
