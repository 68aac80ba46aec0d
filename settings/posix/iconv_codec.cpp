// GB18030 through glibc's iconv.
#include "text_codec.h"

#include <cerrno>
#include <iconv.h>

namespace tindora::settings {
namespace {

// iconv_open's documented failure value.
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1); // NOLINT(performance-no-int-to-ptr)

// One converter for each direction, opened once. iconv_t keeps shift state, so
// each conversion starts by resetting it; the program converts on its one
// user-interface thread only.
class IconvConverter {
public:
    IconvConverter(const char* to, const char* from, std::string_view replacement)
        : m_cd(iconv_open(to, from)), m_replacement(replacement)
    {
    }
    ~IconvConverter()
    {
        if (m_cd != kNoConverter)
            iconv_close(m_cd);
    }
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    // Converts `in`; each byte that does not convert becomes the replacement.
    std::string convert(std::string_view in, bool& exact) const
    {
        std::string out;
        if (m_cd == kNoConverter) {
            // A C library without the GB18030 module: keep the bytes, say so.
            exact = false;
            return std::string(in);
        }
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        out.resize(in.size() * 2 + 16);
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        std::size_t done = 0;
        while (inLeft > 0) {
            char* outPtr = out.data() + done;
            std::size_t outLeft = out.size() - done;
            const std::size_t result = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            done = out.size() - outLeft;
            if (result != static_cast<std::size_t>(-1))
                break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ, or EINVAL for a sequence cut off at the end: replace one
            // byte and go on with the next.
            exact = false;
            out.resize(done);
            out += m_replacement;
            done = out.size();
            out.resize(done + inLeft * 2 + 16);
            ++inPtr;
            --inLeft;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        out.resize(done);
        return out;
    }

private:
    iconv_t m_cd;
    std::string m_replacement;
};

class IconvGb18030Codec : public TextCodec {
public:
    DecodedText decode(std::string_view bytes) const override
    {
        DecodedText text;
        text.utf8 = m_toUtf8.convert(bytes, text.exact);
        return text;
    }
    EncodedText encode(std::string_view utf8) const override
    {
        EncodedText text;
        text.bytes = m_fromUtf8.convert(utf8, text.exact);
        return text;
    }

private:
    IconvConverter m_toUtf8{"UTF-8", "GB18030", "\xEF\xBF\xBD"};
    IconvConverter m_fromUtf8{"GB18030", "UTF-8", "?"};
};

} // namespace

const TextCodec& settingsFileCodec()
{
    static const IconvGb18030Codec codec;
    return codec;
}

} // namespace tindora::settings
