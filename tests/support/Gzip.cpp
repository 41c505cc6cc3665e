#include "support/Gzip.h"

#include <zlib.h>

QByteArray Gzip(const QByteArray &chunk, qsizetype times) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
    QByteArray out;
    char buffer[1 << 16];
    for (qsizetype fed = 1; fed <= times; ++fed) {
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(chunk.constData()));
        stream.avail_in = uInt(chunk.size());
        const int flush = fed == times ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = reinterpret_cast<Bytef *>(buffer);
            stream.avail_out = sizeof buffer;
            deflate(&stream, flush);
            out.append(buffer, qsizetype(sizeof buffer - stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return out;
}
