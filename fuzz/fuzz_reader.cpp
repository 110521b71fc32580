// libFuzzer target: the script reader must take any bytes without a crash, a hang or a leak,
// and whatever it reads must write and read back to the same document.
#include "scriptreader.h"
#include "scriptwriter.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ScrollerDocument doc;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const scriptreader::LoadResult r = scriptreader::LoadScrollerBytes(bytes, doc);
    if (r.itemsRead != doc.items.size())
        std::abort();
    // Building the script from anything read must end.
    const QString script = scriptwriter::BuildScript(doc);
    if (!script.endsWith(QStringLiteral(".load();};")))
        std::abort();
    return 0;
}
