// libFuzzer entry for the reader of the pictures the build renders: the
// first two bytes choose the size asked for, the rest is the data.

#include "builtpicture.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const QSize asked(data[0] % 8, data[1] % 8);
    const QByteArrayView picture(data + 2, static_cast<qsizetype>(size - 2));
    const QImage image = builtPicture(picture, asked);
    if (!image.isNull()
        && (image.size() != asked || picture.size() != 8 + asked.width() * asked.height() * 4))
        std::abort();
    return 0;
}
