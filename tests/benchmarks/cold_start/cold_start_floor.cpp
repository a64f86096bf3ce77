// The floors of the cold-start benchmark, each a fresh process that logs its first present the way
// the game does (TARVOS_PROCESS_LOG):
//   cold_start_floor window   a window and an OpenGL 3.3 context, one cleared frame presented;
//   cold_start_floor media    the same, after every picture of the working folder decoded with
//                             libpng or libjpeg straight into GL's BGRA layout in one reused
//                             buffer, given its box-filtered mip chain and uploaded level by level,
//                             the DDS cube map uploaded as it lies, and every sound file read.
// That is what the game's start-up cannot do without; the rest is the price of its layers.
#include "platform/d3d8/gl_functions.h"
#include "platform/d3d8/process_log.h"

#include <SDL.h>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

d3d8::gl::Functions g_gl;

bool readFile(const std::filesystem::path &path, std::vector<std::uint8_t> &out) {
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    out.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    const bool read = std::fread(out.data(), 1, out.size(), file) == out.size();
    std::fclose(file);
    return read;
}

struct PngSource {
    const std::uint8_t *data;
    std::size_t size, at;
};

void pngRead(png_structp png, png_bytep out, png_size_t length) {
    auto *source = static_cast<PngSource *>(png_get_io_ptr(png));
    if (length > source->size - source->at)
        png_error(png, "truncated");
    std::memcpy(out, source->data + source->at, length);
    source->at += length;
}

// BGRA rows into `pixels`, which is grown only when a larger picture comes.
bool decodePng(const std::vector<std::uint8_t> &file, std::vector<std::uint8_t> &pixels,
               std::uint32_t &width, std::uint32_t &height) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    PngSource source{file.data(), file.size(), 0};
    png_bytep rows[4096];
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &source, pngRead);
    png_read_info(png, info);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    if (height > 4096)
        png_error(png, "too tall");
    if (pixels.size() < std::size_t{width} * height * 4)
        pixels.resize(std::size_t{width} * height * 4);
    for (std::uint32_t y = 0; y < height; ++y)
        rows[y] = pixels.data() + std::size_t{y} * width * 4;
    png_read_image(png, rows);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

struct JpegErrors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void jpegExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrors *>(info->err)->jump, 1);
}

bool decodeJpeg(const std::vector<std::uint8_t> &file, std::vector<std::uint8_t> &pixels,
                std::uint32_t &width, std::uint32_t &height) {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jpegExit;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    width = info.output_width;
    height = info.output_height;
    if (pixels.size() < std::size_t{width} * height * 4)
        pixels.resize(std::size_t{width} * height * 4);
    while (info.output_scanline < height) {
        JSAMPROW row = pixels.data() + std::size_t{info.output_scanline} * width * 4;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// Uploads the picture and its 2 x 2 box-filtered chain; each level is made in place over the one
// above it, which has been uploaded already.
void uploadWithMips(std::vector<std::uint8_t> &pixels, std::uint32_t width, std::uint32_t height) {
    GLuint name = 0;
    g_gl.GenTextures(1, &name);
    g_gl.BindTexture(GL_TEXTURE_2D, name);
    for (GLint level = 0;; ++level) {
        g_gl.TexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, static_cast<GLsizei>(width),
                        static_cast<GLsizei>(height), 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
        if (width == 1 && height == 1)
            break;
        const std::uint32_t w = std::max(1u, width / 2), h = std::max(1u, height / 2);
        for (std::uint32_t y = 0; y < h; ++y)
            for (std::uint32_t x = 0; x < w; ++x) {
                const std::uint32_t x1 = std::min(2 * x + 1, width - 1);
                const std::uint32_t y1 = std::min(2 * y + 1, height - 1);
                const std::uint8_t *a = &pixels[(std::size_t{2 * y} * width + 2 * x) * 4];
                const std::uint8_t *b = &pixels[(std::size_t{2 * y} * width + x1) * 4];
                const std::uint8_t *c = &pixels[(std::size_t{y1} * width + 2 * x) * 4];
                const std::uint8_t *d = &pixels[(std::size_t{y1} * width + x1) * 4];
                std::uint8_t *t = &pixels[(std::size_t{y} * w + x) * 4];
                for (int k = 0; k < 4; ++k)
                    t[k] = static_cast<std::uint8_t>((a[k] + b[k] + c[k] + d[k] + 2) / 4);
            }
        width = w;
        height = h;
    }
}

// Our cube map: six square faces of 32-bit texels, each with its full chain, after the header.
void uploadCubeMap(const std::vector<std::uint8_t> &file) {
    if (file.size() < 128)
        return;
    std::uint32_t edge = 0;
    std::memcpy(&edge, file.data() + 16, 4);
    GLuint name = 0;
    g_gl.GenTextures(1, &name);
    g_gl.BindTexture(GL_TEXTURE_CUBE_MAP, name);
    std::size_t at = 128;
    for (GLenum face = 0; face < 6; ++face)
        for (std::uint32_t side = edge, level = 0; side >= 1; side /= 2, ++level) {
            const std::size_t bytes = std::size_t{side} * side * 4;
            if (file.size() - at < bytes)
                return;
            g_gl.TexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, static_cast<GLint>(level),
                            GL_RGBA8, static_cast<GLsizei>(side), static_cast<GLsizei>(side), 0,
                            GL_BGRA, GL_UNSIGNED_BYTE, file.data() + at);
            at += bytes;
        }
}

void loadMedia() {
    std::vector<std::filesystem::path> files;
    for (const auto &entry : std::filesystem::directory_iterator("."))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<std::uint8_t> bytes, pixels;
    std::vector<std::vector<std::uint8_t>> sounds; // kept, as the game keeps its sounds
    g_gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const auto &file : files) {
        const std::string kind = file.extension().string();
        std::uint32_t width = 0, height = 0;
        if (kind == ".wav") {
            sounds.emplace_back();
            readFile(file, sounds.back());
        } else if (kind == ".dds" && readFile(file, bytes)) {
            uploadCubeMap(bytes);
        } else if (kind == ".png" && readFile(file, bytes) &&
                   decodePng(bytes, pixels, width, height)) {
            uploadWithMips(pixels, width, height);
        } else if (kind == ".jpg" && readFile(file, bytes) &&
                   decodeJpeg(bytes, pixels, width, height)) {
            uploadWithMips(pixels, width, height);
        }
    }
    g_gl.Finish();
}

} // namespace

int main(int argc, char **argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode != "window" && mode != "media") {
        std::fprintf(stderr, "usage: cold_start_floor window|media\n");
        return 2;
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return 1;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window *window = SDL_CreateWindow("cold start floor", SDL_WINDOWPOS_UNDEFINED,
                                          SDL_WINDOWPOS_UNDEFINED, 640, 480, SDL_WINDOW_OPENGL);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context || !d3d8::gl::LoadFunctions(g_gl))
        return 1;
    if (mode == "media")
        loadMedia();
    g_gl.ClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    g_gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    d3d8::NotePresentForProcessLog();
    SDL_GL_SwapWindow(window);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
