// libjpeg reports fatal errors through a callback that must not return; it jumps back here. No
// C++ object with a destructor lives between setjmp and the jump, so the jump skips nothing.
#include "engine/draw/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <type_traits>

#include <jpeglib.h>
#include <jerror.h>

#include "engine/draw/PixelLimits.h"

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    info->err->format_message(info, manager->message);
    std::longjmp(manager->jump, 1);
}

// A file that ends early decodes as grey in libjpeg; we refuse it instead, like any other
// cut-short picture.
void OnMessage(j_common_ptr info, int level) {
    if (level == -1 && info->err->msg_code == JWRN_JPEG_EOF) {
        auto* manager = reinterpret_cast<ErrorManager*>(info->err);
        std::snprintf(manager->message, sizeof manager->message, "JPEG data cut short");
        std::longjmp(manager->jump, 1);
    }
}

// Progressive files may hold any number of scans; a sane picture needs far fewer.
constexpr int kMaxScans = 1000;

void OnProgress(j_common_ptr info) {
    if (info->is_decompressor) {
        auto* d = reinterpret_cast<j_decompress_ptr>(info);
        if (d->input_scan_number > kMaxScans) {
            auto* manager = reinterpret_cast<ErrorManager*>(info->err);
            std::snprintf(manager->message, sizeof manager->message, "JPEG file has too many scans");
            std::longjmp(manager->jump, 1);
        }
    }
}

// Everything that must survive the jump lives in this plain struct.
struct Job {
    jpeg_decompress_struct info;
    ErrorManager errors;
    jpeg_progress_mgr progress;
    uint32_t* out;
};

// Returns 0 on success, 1 on a libjpeg failure, 2 for a refused size.
int Run(Job& job, const uint8_t* data, size_t size, int& width, int& height, std::vector<uint32_t>& pixels) {
    if (setjmp(job.errors.jump)) {
        jpeg_destroy_decompress(&job.info);
        return 1;
    }
    jpeg_create_decompress(&job.info);
    job.info.progress = &job.progress;
    jpeg_mem_src(&job.info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&job.info, TRUE);
    job.info.out_color_space = JCS_EXT_BGRA;
    jpeg_calc_output_dimensions(&job.info);
    if (!PixelLimits::Allowed(job.info.output_width, job.info.output_height)) {
        jpeg_destroy_decompress(&job.info);
        return 2;
    }
    width = int(job.info.output_width);
    height = int(job.info.output_height);
    pixels.resize(size_t(width) * size_t(height));
    job.out = pixels.data();
    jpeg_start_decompress(&job.info);
    while (job.info.output_scanline < job.info.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(job.out + size_t(job.info.output_scanline) * job.info.output_width);
        jpeg_read_scanlines(&job.info, &row, 1);
    }
    jpeg_finish_decompress(&job.info);
    jpeg_destroy_decompress(&job.info);
    return 0;
}

}  // namespace

bool JpegDecoder::Decode(const uint8_t* data, size_t size, int& width, int& height, std::vector<uint32_t>& pixels,
                         std::string* error) {
    width = height = -1;
    pixels.clear();
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8) {
        if (error) *error = "not a JPEG file";
        return false;
    }
    static_assert(std::is_trivially_destructible_v<ErrorManager>);
    Job job{};
    job.info.err = jpeg_std_error(&job.errors.base);
    job.errors.base.error_exit = OnError;
    job.errors.base.emit_message = OnMessage;
    job.progress.progress_monitor = OnProgress;
    int w = -1, h = -1;
    int result = Run(job, data, size, w, h, pixels);
    if (result != 0) {
        pixels.clear();
        if (error) *error = result == 2 ? "JPEG image size out of range" : job.errors.message;
        return false;
    }
    for (uint32_t& p : pixels) p |= 0xFF000000u;
    width = w;
    height = h;
    return true;
}
