// The JPEG decoder on files written by the JPEG library itself: every kind
// of valid file loads with exactly the pixels the library decodes from it;
// progressive files with a scan left out, given twice or out of turn, files
// whose Huffman or arithmetic codes go wrong, and files of more scans or blocks than the
// bounds are refused; CMYK and YCCK files give Adobe's colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/jpeg_file.h"
#include "platform/picture_file.h"
#include "tests/platform/jpeg_writer.h"
#include "tests/platform/temp_folder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The picture as the library decodes it in red, green and blue, and the
// warnings it gave on the way; Decoded false when it stopped with an error.
struct LibraryDecoding {
    bool Decoded = false;
    PlatformPicture Picture;
    std::vector<int> Warnings;
};

struct LibraryErrors {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
    std::vector<int>* Warnings;
};

// The file from memory, a byte at a time: with less than a block's worth of
// data at hand the library reads every code the careful way, which warns of
// one that no table holds.
struct ByteSource {
    jpeg_source_mgr Base;
    const uint8_t *Next, *End;
};

boolean NextByte(j_decompress_ptr info) {
    static const JOCTET endMarker[2] = {0xFF, JPEG_EOI};
    auto* source = reinterpret_cast<ByteSource*>(info->src);
    const bool more = source->Next < source->End;
    source->Base.next_input_byte = more ? source->Next++ : endMarker;
    source->Base.bytes_in_buffer = more ? 1 : 2;
    return TRUE;
}

LibraryDecoding LibraryDecode(const Bytes& jpeg, bool byteAtATime = false) {
    LibraryDecoding result;
    jpeg_decompress_struct info{};
    LibraryErrors errors{};
    errors.Warnings = &result.Warnings;
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = [](j_common_ptr common) {
        std::longjmp(reinterpret_cast<LibraryErrors*>(common->err)->Jump, 1);
    };
    errors.Base.emit_message = [](j_common_ptr common, int level) {
        if (level < 0) reinterpret_cast<LibraryErrors*>(common->err)->Warnings->push_back(common->err->msg_code);
    };
    PlatformPicture& picture = result.Picture;
    if (setjmp(errors.Jump)) {
        jpeg_destroy_decompress(&info);
        return result;
    }
    jpeg_create_decompress(&info);
    ByteSource source{{}, jpeg.data(), jpeg.data() + jpeg.size()};
    if (byteAtATime) {
        source.Base.init_source = source.Base.term_source = [](j_decompress_ptr) {};
        source.Base.fill_input_buffer = NextByte;
        source.Base.skip_input_data = [](j_decompress_ptr info, long count) {
            for (; count > 0; --count, --info->src->bytes_in_buffer, ++info->src->next_input_byte)
                if (info->src->bytes_in_buffer == 0) NextByte(info);
        };
        source.Base.resync_to_restart = jpeg_resync_to_restart;
        info.src = &source.Base;
    } else {
        jpeg_mem_src(&info, jpeg.data(), jpeg.size());
    }
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    picture.Width = int32_t(info.output_width);
    picture.Height = int32_t(info.output_height);
    picture.Pixels.resize(size_t(picture.Width) * picture.Height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &picture.Pixels[size_t(info.output_scanline) * picture.Width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    result.Decoded = true;
    return result;
}

bool Load(const Bytes& jpeg, PlatformPicture& picture, int64_t maxBlocksRead = kJpegMaxBlocksRead) {
    return DecodeJpeg(jpeg, 8192LL * 8192LL, 4096, 256 * 256, picture, maxBlocksRead);
}

// A file taken apart at its scans: the bytes up to the frame header's end,
// each scan with the tables and markers written before it, and the rest.
struct ScanParts {
    Bytes Head, Tail;
    std::vector<Bytes> Scans;

    explicit ScanParts(const Bytes& jpeg) {
        size_t at = 2, from = 0;
        while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF && jpeg[at + 1] != 0xD9) {
            const uint8_t marker = jpeg[at + 1];
            at += 2 + (size_t(jpeg[at + 2]) << 8 | jpeg[at + 3]);
            if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
                Head.assign(jpeg.begin(), jpeg.begin() + long(from = at));
            if (marker != 0xDA) continue;
            // The coded data: up to the next marker that is not a stuffed 0xFF or a restart.
            while (at + 1 < jpeg.size() && !(jpeg[at] == 0xFF && jpeg[at + 1] != 0 && (jpeg[at + 1] & 0xF8) != 0xD0))
                ++at;
            Scans.emplace_back(jpeg.begin() + long(from), jpeg.begin() + long(at));
            from = at;
        }
        Tail.assign(jpeg.begin() + long(from), jpeg.end());
    }

    // The file with the scans of the given numbers, in that order.
    Bytes With(const std::vector<int>& order) const {
        Bytes jpeg = Head;
        for (int i : order) jpeg.insert(jpeg.end(), Scans[size_t(i)].begin(), Scans[size_t(i)].end());
        jpeg.insert(jpeg.end(), Tail.begin(), Tail.end());
        return jpeg;
    }
};

std::vector<int> Numbers(int from, int to) {  // from .. to - 1
    std::vector<int> numbers;
    for (int i = from; i < to; ++i) numbers.push_back(i);
    return numbers;
}

TEST(JpegFile, ValidFilesLoadWithTheLibrarysPixels) {
    // Spectral selection and successive approximation beyond the library's
    // own script: components' DC scans apart, AC bands split, two refinements.
    const std::vector<jpeg_scan_info> script = {
        {1, {0}, 0, 0, 0, 2},  {2, {1, 2}, 0, 0, 0, 0}, {1, {0}, 1, 2, 0, 2},  {1, {0}, 3, 63, 0, 1},
        {1, {0}, 0, 0, 2, 1},  {1, {1}, 1, 63, 0, 0},   {1, {0}, 1, 2, 2, 1},  {1, {2}, 1, 63, 0, 0},
        {1, {0}, 1, 63, 1, 0}, {1, {0}, 0, 0, 1, 0},
    };
    const std::vector<jpeg_scan_info> perComponent = {{1, {0}, 0, 63, 0, 0}, {1, {1}, 0, 63, 0, 0},
                                                      {1, {2}, 0, 63, 0, 0}};
    struct Case {
        const char* Name;
        JpegOptions Options;
    };
    auto with = [](auto change) {
        JpegOptions o;
        change(o);
        return o;
    };
    std::vector<Case> cases = {
        {"baseline", {}},
        {"grey", with([](JpegOptions& o) { o.Space = JCS_GRAYSCALE; })},
        {"grey progressive", with([](JpegOptions& o) { o.Space = JCS_GRAYSCALE, o.Progressive = true; })},
        {"progressive", with([](JpegOptions& o) { o.Progressive = true; })},
        {"own script", with([&](JpegOptions& o) { o.Script = script; })},
        {"one scan per component", with([&](JpegOptions& o) { o.Script = perComponent; })},
        {"restarts", with([](JpegOptions& o) { o.RestartInterval = 1; })},
        {"progressive restarts", with([](JpegOptions& o) { o.Progressive = true, o.RestartInterval = 2; })},
        {"arithmetic", with([](JpegOptions& o) { o.Arithmetic = true; })},
        {"arithmetic progressive", with([](JpegOptions& o) { o.Arithmetic = o.Progressive = true; })},
        {"arithmetic own script", with([&](JpegOptions& o) { o.Arithmetic = true, o.Script = script; })},
        {"arithmetic restarts",
         with([](JpegOptions& o) { o.Arithmetic = o.Progressive = true, o.RestartInterval = 3; })},
        {"odd size", with([](JpegOptions& o) { o.Width = 37, o.Height = 29, o.Progressive = true; })},
    };
    for (const auto& [h, v] : std::vector<std::pair<int, int>>{{1, 1}, {2, 1}, {1, 2}, {4, 1}, {4, 2}, {3, 1}})
        cases.push_back({"sampling", with([&](JpegOptions& o) { o.H = h, o.V = v, o.Width = 37, o.Height = 29; })});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Name) + " " + std::to_string(c.Options.H) + "x" + std::to_string(c.Options.V));
        const Bytes jpeg = WriteJpeg(c.Options);
        PlatformPicture picture;
        ASSERT_TRUE(Load(jpeg, picture));
        const LibraryDecoding expected = LibraryDecode(jpeg);
        ASSERT_TRUE(expected.Decoded);
        EXPECT_TRUE(expected.Warnings.empty());
        EXPECT_EQ(picture.Width, c.Options.Width);
        EXPECT_EQ(picture.Height, c.Options.Height);
        EXPECT_EQ(picture.Pixels, expected.Picture.Pixels);
    }
}

// The library's progressive script for YCbCr: 0 DC of all three (Al 1),
// 1 Y 1-5 (Al 2), 2 Cr 1-63 (Al 1), 3 Cb 1-63 (Al 1), 4 Y 6-63 (Al 2),
// 5 Y 1-63 (Ah 2), 6 DC (Ah 1), 7 Cr (Ah 1), 8 Cb (Ah 1), 9 Y (Ah 1). The
// library decodes every damaged file below without an error, with made-up
// coefficients; a scan it would not take at all is no test of the order.
TEST(JpegFile, ScansOutOfTheFormatsOrderAreRefused) {
    std::vector<int> thousandCopies = Numbers(0, 10);
    thousandCopies.insert(thousandCopies.end(), 1000, 9);
    struct Case {
        const char* Name;
        std::vector<int> Order;
    };
    const std::vector<Case> cases = {
        {"first DC scan left out", Numbers(1, 10)},
        {"Cr's first AC scan left out", {0, 1, 3, 4, 5, 6, 7, 8, 9}},
        {"last refinement given twice", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9}},
        {"DC refinement given twice", {0, 1, 2, 3, 4, 5, 6, 6, 7, 8, 9}},
        {"first AC scan given twice", {0, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"AC before DC", {1, 0, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"refinement before its first scan", {0, 1, 7, 2, 3, 4, 5, 6, 8, 9}},
        {"refinements out of turn", {0, 1, 2, 3, 4, 9, 5, 6, 7, 8}},
        {"a thousand copies of the last scan", thousandCopies},
    };
    for (const bool arithmetic : {false, true}) {
        JpegOptions options;
        options.Progressive = true;
        options.Arithmetic = arithmetic;
        const ScanParts parts(WriteJpeg(options));
        ASSERT_EQ(parts.Scans.size(), 10u);
        PlatformPicture whole, picture;
        ASSERT_TRUE(Load(parts.With(Numbers(0, 10)), whole));
        // Cb's and Cr's scans may come in either order.
        ASSERT_TRUE(Load(parts.With({0, 1, 3, 2, 4, 5, 6, 8, 7, 9}), picture)) << arithmetic;
        EXPECT_EQ(picture.Pixels, whole.Pixels);
        picture.Width = 7;
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (arithmetic ? ", arithmetic" : ""));
            const Bytes damaged = parts.With(c.Order);
            EXPECT_TRUE(LibraryDecode(damaged).Decoded);
            EXPECT_FALSE(Load(damaged, picture));
        }
        EXPECT_EQ(picture.Width, 7) << "a refused file leaves the picture as it was";
    }
    // Scans that give their coefficients whole, which the library does not
    // notice given twice, and a sequential file's component given twice.
    JpegOptions whole;
    whole.Space = JCS_GRAYSCALE;
    whole.Script = {{1, {0}, 0, 0, 0, 0}, {1, {0}, 1, 63, 0, 0}};
    const ScanParts grey(WriteJpeg(whole));
    whole = {};
    whole.Script = {{1, {0}, 0, 63, 0, 0}, {1, {1}, 0, 63, 0, 0}, {1, {2}, 0, 63, 0, 0}};
    const ScanParts sequential(WriteJpeg(whole));
    PlatformPicture picture;
    ASSERT_TRUE(Load(grey.With({0, 1}), picture));
    ASSERT_TRUE(Load(sequential.With({0, 1, 2}), picture));
    EXPECT_FALSE(Load(grey.With({0, 1, 1}), picture));
    EXPECT_FALSE(Load(grey.With({0, 0, 1}), picture));
    EXPECT_FALSE(Load(sequential.With({0, 1, 2, 2}), picture));
}

// A file with a byte of its coded data changed. Huffman-coded: every change
// for which the library, reading the file a byte at a time, warns of a code
// that no table holds is refused; given the whole file at once the library
// reads most such codes as zeros without a warning, the rest of the picture
// made up. Arithmetic-coded: the first change from the middle of the scan on
// for which the library warns of a bad code (it would leave the rest of the
// scan grey).
TEST(JpegFile, BadCodesAreRefused) {
    const auto warns = [](const LibraryDecoding& decoding, int code) {
        return std::find(decoding.Warnings.begin(), decoding.Warnings.end(), code) != decoding.Warnings.end();
    };
    JpegOptions options;
    options.Width = options.Height = 128;
    options.Space = JCS_GRAYSCALE;
    options.OptimalTables = true;
    Bytes jpeg = WriteJpeg(options);
    PlatformPicture picture;
    ASSERT_TRUE(Load(jpeg, picture));
    size_t data = ScanParts(jpeg).Head.size();  // past the tables and the scan header
    for (bool scan = false; !scan; data += 2 + (size_t(jpeg[data + 2]) << 8 | jpeg[data + 3]))
        scan = jpeg[data + 1] == 0xDA;
    int bad = 0, unnoticedWhole = 0;
    for (size_t at = data; at + 2 < jpeg.size(); ++at)
        for (const uint8_t change : {0x01, 0x5A, 0x80}) {
            Bytes changed = jpeg;
            changed[at] ^= change;
            if (!warns(LibraryDecode(changed, true), JWRN_HUFF_BAD_CODE)) continue;
            ++bad;
            unnoticedWhole += !warns(LibraryDecode(changed), JWRN_HUFF_BAD_CODE);
            EXPECT_FALSE(Load(changed, picture)) << "byte " << at << " ^ " << int(change);
        }
    EXPECT_GT(unnoticedWhole, bad / 3) << bad;

    options = {};
    options.Arithmetic = true;
    jpeg = WriteJpeg(options);
    ASSERT_TRUE(Load(jpeg, picture));
    const ScanParts parts(jpeg);
    ASSERT_EQ(parts.Scans.size(), 1u);
    bool found = false;
    for (size_t at = parts.Head.size() + parts.Scans[0].size() / 2; !found && at + 2 < jpeg.size(); ++at) {
        Bytes changed = jpeg;
        changed[at] ^= 0x5A;
        if (!warns(LibraryDecode(changed), JWRN_ARITH_BAD_CODE)) continue;
        found = true;
        EXPECT_FALSE(Load(changed, picture)) << "byte " << at;
    }
    EXPECT_TRUE(found);
}

// The scans are counted as they are read: a file of the most scans allowed
// loads, one more is refused, and so is a file whose scans together read
// more blocks than allowed (counted over every component a scan holds).
TEST(JpegFile, ScansAndTheBlocksTheyReadAreBounded) {
    JpegOptions options;
    options.Space = JCS_GRAYSCALE;
    options.Width = options.Height = 8;
    options.Arithmetic = true;
    options.Script = LongGreyScript(kJpegMaxScans);
    const Bytes most = WriteJpeg(options);
    options.Script = LongGreyScript(kJpegMaxScans + 1);
    const Bytes tooMany = WriteJpeg(options);
    PlatformPicture picture;
    ASSERT_TRUE(Load(most, picture));
    EXPECT_EQ(picture.Pixels, LibraryDecode(most).Picture.Pixels);
    EXPECT_FALSE(Load(tooMany, picture));

    // The file of the most scans reads one block in each. 32 x 24 in 4:2:0:
    // 12 blocks of Y, 4 of Cb and of Cr; the library's script reads Y 6
    // times, Cb and Cr 4 times each.
    options = {};
    options.Progressive = true;
    const Bytes progressive = WriteJpeg(options);
    struct Case {
        const Bytes& Jpeg;
        int64_t Blocks;
    };
    for (const Case& c : {Case{most, kJpegMaxScans}, Case{progressive, 6 * 12 + 2 * 4 * 4}}) {
        EXPECT_TRUE(Load(c.Jpeg, picture, c.Blocks)) << c.Blocks;
        EXPECT_FALSE(Load(c.Jpeg, picture, c.Blocks - 1)) << c.Blocks;
    }
}

// CMYK and YCCK files hold Adobe's inverted values (255 no ink): each of red,
// green and blue is its channel's value times black's, over 255.
TEST(JpegFile, CmykAndYcckGiveAdobesColours) {
    struct Case {
        std::array<uint8_t, 4> Cmyk;
        std::array<uint8_t, 3> Rgb;
    };
    const std::vector<Case> cases = {
        {{255, 255, 255, 255}, {255, 255, 255}},
        {{255, 128, 0, 200}, {200, 100, 0}},
        {{64, 255, 192, 255}, {64, 255, 192}},
        {{200, 100, 50, 0}, {0, 0, 0}},
    };
    for (const J_COLOR_SPACE space : {JCS_CMYK, JCS_YCCK})
        for (const Case& c : cases) {
            JpegOptions options;
            options.Space = space;
            options.Width = options.Height = 16;
            options.Quality = 100;
            options.Colour = c.Cmyk;
            PlatformPicture picture;
            ASSERT_TRUE(Load(WriteJpeg(options), picture)) << space;
            ASSERT_EQ(picture.Pixels.size(), 16u * 16u * 3u);
            // YCCK's colour conversion may round a value by one.
            for (size_t i = 0; i < picture.Pixels.size(); ++i)
                ASSERT_NEAR(picture.Pixels[i], c.Rgb[i % 3], space == JCS_YCCK ? 1 : 0)
                    << "pixel " << i / 3 << (space == JCS_YCCK ? " YCCK" : " CMYK");
        }
}

// A JPEG loads only when every scan it announces is whole: cut between scans
// or inside one it is refused, though the decoder would fill in grey or the
// coarse first scans; a whole file lacking only its end marker loads, the
// same picture.
TEST(JpegFile, FilesLoadOnlyWithEveryScanWhole) {
    TempFolder folder;
    const Bytes eoi{0xFF, 0xD9};
    const auto join = [](Bytes a, const Bytes& b) { return a.insert(a.end(), b.begin(), b.end()), a; };
    const auto load = [&](const Bytes& jpeg, PlatformPicture& picture) {
        return LoadPlatformPicture(folder.Write("picture.jpg", std::string(jpeg.begin(), jpeg.end())), picture);
    };
    struct Case {
        const char* Name;
        bool Progressive, Arithmetic, ScanPerComponent;
        size_t Scans;
    };
    for (const Case& c : {Case{"baseline", false, false, false, 1}, Case{"progressive", true, false, false, 10},
                          Case{"one scan per component", false, false, true, 3},
                          Case{"arithmetic", false, true, false, 1},
                          Case{"arithmetic progressive", true, true, false, 10}}) {
        SCOPED_TRACE(c.Name);
        JpegOptions options;
        options.Progressive = c.Progressive;
        options.Arithmetic = c.Arithmetic;
        if (c.ScanPerComponent) options.Script = {{1, {0}, 0, 63, 0, 0}, {1, {1}, 0, 63, 0, 0}, {1, {2}, 0, 63, 0, 0}};
        const Bytes jpeg = WriteJpeg(options);
        const ScanParts parts(jpeg);
        ASSERT_EQ(parts.Scans.size(), c.Scans);
        ASSERT_EQ(parts.Tail, eoi);
        PlatformPicture whole, picture;
        ASSERT_TRUE(load(jpeg, whole));
        EXPECT_EQ(whole.Width, 32);
        EXPECT_EQ(whole.Height, 24);

        // Cut inside the last scan's data, and the same given an end marker:
        // an arithmetic-coded scan reads what is missing as zero bits without
        // a sign, so only the Huffman-coded one can be told cut.
        const size_t lastStart = jpeg.size() - eoi.size() - parts.Scans.back().size();
        const Bytes inside(jpeg.begin(), jpeg.begin() + long((lastStart + jpeg.size()) / 2));
        EXPECT_FALSE(load(inside, picture));
        if (!c.Arithmetic) {
            EXPECT_FALSE(load(join(inside, eoi), picture));
        }
        // Cut before each later scan.
        for (size_t scan = 1; scan < c.Scans; ++scan) {
            Bytes before = parts.With(Numbers(0, int(scan)));
            before.resize(before.size() - eoi.size());
            EXPECT_FALSE(load(before, picture)) << scan;
            EXPECT_FALSE(load(join(before, eoi), picture)) << scan;
        }
        EXPECT_TRUE(picture.Pixels.empty()) << "a refused file leaves the picture as it was";

        // Without its end marker: Huffman-coded files load the same picture;
        // an arithmetic-coded one cannot be told from one cut inside its last
        // scan and is refused.
        const Bytes noEnd(jpeg.begin(), jpeg.end() - 2);
        EXPECT_EQ(load(noEnd, picture), !c.Arithmetic);
        if (!c.Arithmetic) {
            EXPECT_EQ(picture.Pixels, whole.Pixels);
        }
    }
}

}  // namespace
