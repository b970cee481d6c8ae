#include "tests/support/cp932.h"

#include <iconv.h>

#include <stdexcept>
#include <vector>

std::string toCp932(const std::string& utf8) {
    iconv_t converter = iconv_open("CP932", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 converter");
    std::vector<char> output(utf8.size() * 2 + 8);
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    const std::size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (converted == static_cast<std::size_t>(-1)) throw std::runtime_error("text not in CP932: " + utf8);
    return std::string(output.data(), output.size() - outLeft);
}
