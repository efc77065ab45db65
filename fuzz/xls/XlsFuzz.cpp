// libFuzzer entry: open arbitrary bytes as a workbook and read every cell.
// Inputs with the OLE2 signature go through the container; others are taken
// as a bare BIFF8 workbook stream, which reaches the record parser directly.
#include "platform/xls/XlsReader.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const uint8_t magic[4] = {0xD0, 0xCF, 0x11, 0xE0};
    kv::xls::Workbook book;
    std::string error;
    bool ole = size >= 4 && std::memcmp(data, magic, 4) == 0;
    bool ok = ole ? book.openMemory(data, size, error) : book.openStream(data, size, error);
    if (!ok)
        return 0;
    const kv::xls::Sheet* s = book.firstSheet();
    if (!s)
        return 0;
    size_t sum = 0;
    // Every query on a band of rows and columns plus the far corner.
    auto read = [&](int r, int c) {
        sum += size_t(s->cellType(r, c)) + s->isFormula(r, c);
        sum += s->text(r, c).size() + s->errorCode(r, c) + s->boolean(r, c);
        sum += s->number(r, c) > 0;
    };
    read(s->rowEnd() - 1, s->colEnd() - 1);
    for (int r = 0; r < s->rowEnd() && r < 64; ++r)
        for (int c = 0; c < s->colEnd() && c < 16; ++c) {
            read(r, c);
        }
    return sum == size_t(-1);
}
