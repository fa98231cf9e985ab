// The stream decoder and the file image around it, on streams written code by code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "bglunpack/bgl_decoder.h"
#include "tests/bglunpack/reference_decoder.h"
#include "tools/bglpack/bgl_encoder.h"
#include "tools/bglpack/sample_library.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using bglpack::StreamWriter;

struct Decoded {
    bglunpack::Result code;
    Bytes output;
};

Decoded decode(const Bytes& stream, std::size_t capacity) {
    // The output lives in a block of exactly `capacity` bytes so that ASan sees any overrun.
    auto* out = static_cast<std::uint8_t*>(std::malloc(capacity ? capacity : 1));
    std::size_t produced = 0;
    const auto code = bglunpack::decode_stream(stream.data(), stream.size(), out, capacity,
                                               &produced);
    Decoded d{code, Bytes(out, out + produced)};
    std::free(out);
    return d;
}

Bytes bytes_of(const char* text) { return Bytes(text, text + std::strlen(text)); }

TEST(Decoder, EveryCodeClassDecodesToItsBytes) {
    StreamWriter w;
    w.literal('A');           // 0 + 7 bits
    w.literal(0xC1);          // 1 1 + 7 bits
    w.match(1, 3);            // short distance, k = 0
    w.literal('B');
    w.match(5, 5);            // k = 1
    for (int i = 0; i < 300; ++i) w.literal(static_cast<std::uint8_t>(i * 7));
    w.match(64, 9);           // first 8-bit distance
    w.match(319, 17);         // last 8-bit distance, k = 3
    w.match(320, 258);        // first 12-bit distance, k = 8
    w.end_code();
    Bytes expected = {'A', 0xC1, 0xC1, 0xC1, 0xC1, 'B'};
    for (int i = 0; i < 4; ++i) expected.push_back(expected[expected.size() - 5]);
    expected.push_back(expected[expected.size() - 5]);
    for (int i = 0; i < 300; ++i) expected.push_back(static_cast<std::uint8_t>(i * 7));
    for (auto [d, n] : {std::pair{64, 9}, {319, 17}, {320, 258}})
        for (int i = 0; i < n; ++i) expected.push_back(expected[expected.size() - d]);
    const auto r = decode(w.finish(), expected.size());
    EXPECT_EQ(r.code, bglunpack::kOk);
    EXPECT_EQ(r.output, expected);
}

TEST(Decoder, ShortDistanceRepeatsAndLongLengthsUseTheWholeCode) {
    StreamWriter w;
    w.literal('x');
    w.match(1, 10);                      // distance 1, length 10: the last byte ten times
    w.literal('y');
    w.literal('z');
    w.match(2, 7);                       // distance 2 repeats the pair
    w.match(25, 3);                      // further back than anything produced
    w.end_code();
    Bytes expected(11, 'x');
    for (const char* s = "yzyzyzyzy"; *s; ++s) expected.push_back(static_cast<std::uint8_t>(*s));
    const auto r = decode(w.finish(), 100);
    EXPECT_EQ(r.code, bglunpack::kBadStream) << "a distance beyond the bytes produced is refused";
    EXPECT_EQ(r.output, expected);

    const std::size_t long_run = (1u << 20) + 2 + 12345;  // k = 20: more than one refill holds
    StreamWriter v;
    v.literal('x');
    v.match(1, 10);
    v.match(1, long_run);
    v.end_code();
    const auto big = decode(v.finish(), 11 + long_run);
    ASSERT_EQ(big.code, bglunpack::kOk);
    EXPECT_EQ(big.output, Bytes(11 + long_run, 'x'));
}

TEST(Decoder, EndCodesBeforeTheOutputIsCompleteAreSkipped) {
    StreamWriter w;
    w.literal('a');
    w.end_code();
    w.end_code();
    w.literal('b');
    w.end_code();
    w.literal('c');
    w.end_code();
    w.literal('d');  // after the output is complete: never read
    const auto r = decode(w.finish(), 3);
    EXPECT_EQ(r.code, bglunpack::kOk);
    EXPECT_EQ(r.output, bytes_of("abc"));
    // An empty output ends at the first end code.
    StreamWriter e;
    e.end_code();
    EXPECT_EQ(decode(e.finish(), 0).code, bglunpack::kOk);
}

TEST(Decoder, DamagedStreamsFailWithoutReachingOutsideTheirBuffers) {
    EXPECT_EQ(decode(bytes_of("JM\1\1"), 0).code, bglunpack::kBadStream) << "4 bytes only";
    EXPECT_EQ(decode(Bytes{}, 0).code, bglunpack::kBadStream);
    StreamWriter ok;
    ok.literal('q');
    ok.end_code();
    Bytes wrong_signature = ok.finish();
    wrong_signature[1] = 'N';
    EXPECT_EQ(decode(wrong_signature, 1).code, bglunpack::kBadStream);

    StreamWriter no_end;  // output complete but no end code before the input runs out
    no_end.literal('q');
    EXPECT_EQ(decode(no_end.finish(), 1).code, bglunpack::kBadStream);

    StreamWriter zero;  // distance 0
    zero.literal('q');
    zero.match(0, 3);
    zero.end_code();
    EXPECT_EQ(decode(zero.finish(), 4).code, bglunpack::kBadStream);

    StreamWriter past;  // a match that would run past the capacity
    past.literal('q');
    past.match(1, 5);
    past.end_code();
    EXPECT_EQ(decode(past.finish(), 5).code, bglunpack::kSizeMismatch);

    StreamWriter extra;  // a literal past the capacity
    extra.literal('q');
    extra.literal('r');
    EXPECT_EQ(decode(extra.finish(), 1).code, bglunpack::kSizeMismatch);

    StreamWriter huge;  // 32 zero bits in a length code
    huge.literal('q');
    huge.bits(0x1u | 1u << 3, 9);  // distance 1
    huge.bits(0, 32);
    huge.bits(1, 1);
    huge.bits(0, 32);
    EXPECT_EQ(decode(huge.finish(), 1 << 20).code, bglunpack::kBadStream);

    // Every prefix of a good stream runs out of input.
    const Bytes good = bglpack::compress_stream(bytes_of("abcabcabcabc-hello-hello-hello"));
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_EQ(decode(Bytes(good.begin(), good.begin() + n), 30).code, bglunpack::kBadStream);
}

TEST(Decoder, AgreesWithThePlainDecoderOnMutatedStreams) {
    std::mt19937 rng(7);
    const auto lib = bglpack::build_library(bglpack::synthetic_library(6, 3));
    const Bytes good = bglpack::compress_stream(lib, {.section_size = 700});
    for (int round = 0; round < 1500; ++round) {
        Bytes s = good;
        if (round % 3 == 0) s.resize(4 + rng() % (s.size() - 4));
        for (int flips = 1 + rng() % 4; flips > 0; --flips)
            s[4 + rng() % (s.size() - 4)] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
        const std::size_t capacity = round % 5 == 0 ? rng() % lib.size() : lib.size();
        const auto fast = decode(s, capacity);
        const auto plain = reference::decode(s.data(), s.size(), capacity);
        ASSERT_EQ(fast.code, plain.code) << "round " << round;
        if (fast.code == bglunpack::kOk) {
            ASSERT_EQ(fast.output, plain.output) << round;
        }
    }
}

TEST(Encoder, RoundTripsRandomStructuredAndEdgeData) {
    std::mt19937 rng(11);
    std::vector<Bytes> inputs = {{}, {0}, {0xFF, 0xFF}, Bytes(100000, 0), bytes_of("abababababab")};
    Bytes noise(70000);
    for (auto& b : noise) b = static_cast<std::uint8_t>(rng());
    inputs.push_back(noise);
    inputs.push_back(bglpack::build_library(bglpack::synthetic_library(40, 5)));
    Bytes text;
    while (text.size() < 50000) {
        const char* words[] = {"BGL_", "VERTEX_LIST ", "0FFFFh", ", ", "POLY ", "\r\n", "dw "};
        for (const char* c = words[rng() % 7]; *c; ++c) text.push_back(static_cast<std::uint8_t>(*c));
    }
    inputs.push_back(text);
    for (const auto& options : {bglpack::Options{}, bglpack::Options{1, 4, false},
                                bglpack::Options{0, 200, true}}) {
        for (const auto& in : inputs) {
            const Bytes stream = bglpack::compress_stream(in, options);
            const auto r = decode(stream, in.size());
            ASSERT_EQ(r.code, bglunpack::kOk) << in.size();
            ASSERT_EQ(r.output, in);
        }
    }
    // Repetitive data shrinks, noise costs at most 1/8 more (a 9-bit literal per byte).
    EXPECT_LT(bglpack::compress_stream(inputs[3]).size(), 1000u);
    EXPECT_LT(bglpack::compress_stream(noise).size(), noise.size() * 9 / 8 + 64);
}

// A compressed file around a stream: header of 128 or 168 bytes.
Bytes compressed_file(bool extended, const Bytes& data, std::uint32_t checksum = 0) {
    auto image = bglpack::build_library({extended, {}});
    image.resize(extended ? 168 : 128);  // the header alone
    image.insert(image.end(), data.begin(), data.end());
    std::string error;
    auto packed = bglpack::pack_bgl(image, {}, &error);
    EXPECT_TRUE(packed) << error;
    const std::size_t header = extended ? 168 : 128;
    if (checksum) std::memcpy(packed->data() + header + 8, &checksum, 4);
    return *packed;
}

Decoded unpack(const Bytes& file) {
    std::uint8_t* image = nullptr;
    std::size_t size = 0;
    const auto code = bglunpack::unpack_image(file.data(), file.size(), &image, &size);
    Decoded d{code, image ? Bytes(image, image + size) : Bytes{}};
    std::free(image);
    EXPECT_EQ(code == bglunpack::kOk, image != nullptr);
    return d;
}

TEST(UnpackImage, HeaderLengthDecidesWhereTheDataStarts) {
    const Bytes data = bytes_of("0123456789-0123456789-0123456789");
    for (bool extended : {false, true}) {
        const Bytes file = compressed_file(extended, data);
        const std::size_t header = extended ? 168 : 128;
        const auto r = unpack(file);
        ASSERT_EQ(r.code, bglunpack::kOk);
        ASSERT_EQ(r.output.size(), header + data.size());
        EXPECT_EQ(Bytes(r.output.begin() + header, r.output.end()), data);
        // FL_spare2 is 0 in the image; every other header byte is the file's.
        EXPECT_EQ(Bytes(r.output.begin() + 122, r.output.begin() + 126), Bytes(4, 0));
        EXPECT_NE(file[122], 0);
        for (std::size_t i = 0; i < header; ++i)
            if (i < 122 || i >= 126) {
                ASSERT_EQ(r.output[i], file[i]) << i;
            }
    }
}

TEST(UnpackImage, RefusesWhatItDoesNotHandle) {
    const Bytes data = bytes_of("some library data");
    const Bytes extended = compressed_file(true, data);
    for (std::size_t field : {54u, 156u, 160u, 164u}) {
        Bytes f = extended;
        f[field + 1] = 1;
        EXPECT_EQ(unpack(f).code, bglunpack::kNotCompressed) << field;
    }
    Bytes ptr_count = extended;
    ptr_count[152] = 9;
    EXPECT_EQ(unpack(ptr_count).code, bglunpack::kOk);

    // An uncompressed library (no ABCDEF01h after the header), and files too short to hold
    // the two headers.
    EXPECT_EQ(unpack(bglpack::build_library(bglpack::synthetic_library(2, 1))).code,
              bglunpack::kNotCompressed);
    const Bytes plain = compressed_file(false, data);
    for (std::size_t n : {0u, 100u, 147u})
        EXPECT_EQ(unpack(Bytes(plain.begin(), plain.begin() + n)).code, bglunpack::kNotCompressed);
    EXPECT_EQ(unpack(Bytes(plain.begin(), plain.begin() + 148)).code, bglunpack::kBadStream);

    EXPECT_EQ(unpack(compressed_file(false, data, 0x1234)).code, bglunpack::kBadChecksum);

    std::uint32_t stored;
    std::memcpy(&stored, plain.data() + 128 + 4, 4);
    Bytes smaller = plain;  // stored size below the data: the output would overrun
    const std::uint32_t less = stored - 1, more = stored + 1;
    std::memcpy(smaller.data() + 128 + 4, &less, 4);
    EXPECT_EQ(unpack(smaller).code, bglunpack::kSizeMismatch);
    Bytes larger = plain;   // stored size above the data: the input runs out
    std::memcpy(larger.data() + 128 + 4, &more, 4);
    EXPECT_EQ(unpack(larger).code, bglunpack::kBadStream);
    Bytes unreportable = plain;  // more than a signed 32-bit size can report
    std::memset(unreportable.data() + 128 + 4, 0xFF, 4);
    EXPECT_EQ(unpack(unreportable).code, bglunpack::kNoMemory);
}

}  // namespace
