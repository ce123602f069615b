// Writes a sine tone as an Ogg Vorbis file, for the sound tests and benchmarks:
//   qs_make_test_ogg OUT SECONDS RATE CHANNELS HERTZ
// Built apart from the game: the encoder library and the game's integer decoder share symbol names.
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool WritePage(std::FILE* out, const ogg_page& page) {
    return std::fwrite(page.header, 1, page.header_len, out) == static_cast<size_t>(page.header_len) &&
           std::fwrite(page.body, 1, page.body_len, out) == static_cast<size_t>(page.body_len);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s OUT SECONDS RATE CHANNELS HERTZ\n", argv[0]);
        return 2;
    }
    const double seconds = std::atof(argv[2]);
    const long rate = std::atol(argv[3]);
    const int channels = std::atoi(argv[4]);
    const double hertz = std::atof(argv[5]);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr || seconds <= 0 || rate <= 0 || channels < 1 || channels > 2) return 1;

    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.1f) != 0) return 1;
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 12345);  // fixed serial: the same arguments give the same bytes

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    bool ok = true;
    while (ogg_stream_flush(&stream, &page) != 0) ok = ok && WritePage(out, page);

    const long total = static_cast<long>(seconds * rate);
    long done = 0;
    const double pi = std::acos(-1.0);
    bool finished = false;
    while (!finished) {
        long count = std::min<long>(1024, total - done);
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (long i = 0; i < count; ++i) {
                double t = static_cast<double>(done + i) / rate;
                for (int c = 0; c < channels; ++c)
                    buffer[c][i] = static_cast<float>(0.5 * std::sin(2 * pi * hertz * (c + 1) * t));
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            done += count;
        } else {
            vorbis_analysis_wrote(&dsp, 0);
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                // Small pages, so tests can cut a file between them.
                while (ogg_stream_pageout_fill(&stream, &page, 512) != 0) {
                    ok = ok && WritePage(out, page);
                    if (ogg_page_eos(&page)) finished = true;
                }
            }
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    ok = std::fclose(out) == 0 && ok;
    return ok ? 0 : 1;
}
