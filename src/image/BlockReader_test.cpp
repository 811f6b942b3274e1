#include "image/BlockReader.h"

#include <gtest/gtest.h>

#include "image/testing/ByteBuilder.h"
#include "image/testing/RecordingSource.h"
#include "image/testing/RecordingTrace.h"

namespace qarvo {
namespace {

using testing::ByteBuilder;
using testing::RecordingSource;
using testing::RecordingTrace;

enum class Primitive { readLong, readInt, readShort, readString, readWString };

bool readOne(BlockReader& in, Primitive primitive) {
    std::int64_t l;
    std::int32_t i;
    std::int16_t s;
    std::string text;
    std::u16string wide;
    switch (primitive) {
        case Primitive::readLong: return in.readLong(l);
        case Primitive::readInt: return in.readInt(i);
        case Primitive::readShort: return in.readShort(s);
        case Primitive::readString: return in.readString(text);
        case Primitive::readWString: return in.readWString(wide);
    }
    return false;
}

TEST(BlockReader, ReadsLittleEndianFieldsAndSignExtendsShorts) {
    ByteBuilder b;
    b.i64(-0x0102030405060708LL).i32(-2).u32(0xE8E413D5u).i16(-2).i16(0x7FFF).str("abc").wstr(u"\u00E9t\u00E9");
    RecordingSource file(b.bytes);
    BlockReader in(file);
    std::int64_t l = 0;
    std::int32_t i = 0, magic = 0;
    std::int16_t s1 = 0, s2 = 0;
    std::string text;
    std::u16string wide;
    ASSERT_TRUE(in.readLong(l) && in.readInt(i) && in.readInt(magic) && in.readShort(s1) && in.readShort(s2) &&
                in.readString(text) && in.readWString(wide));
    EXPECT_EQ(l, -0x0102030405060708LL);
    EXPECT_EQ(i, -2);
    EXPECT_EQ(static_cast<std::uint32_t>(magic), 0xE8E413D5u);
    EXPECT_EQ(s1, -2);
    EXPECT_EQ(s2, 0x7FFF);
    EXPECT_EQ(text, "abc");
    EXPECT_EQ(wide, u"\u00E9t\u00E9");
    EXPECT_EQ(in.position(), static_cast<std::int64_t>(b.bytes.size()));
    EXPECT_EQ(in.failure(), ConfigReadFailure::none);
}

// Each primitive with its field cut after every possible byte count: the
// failure names the primitive, and the integer primitives trace the system
// error (0: the file simply ended) and, for readInt, the bytes that were there.
TEST(BlockReader, ShortFieldFailsWithItsPrimitiveAndTraceLine) {
    struct Case {
        Primitive primitive;
        std::vector<std::uint8_t> bytes;
        ConfigReadFailure failure;
        std::vector<std::string> trace;
    } cases[] = {
        {Primitive::readInt, {}, ConfigReadFailure::readInt, {"error 0 0\n"}},
        {Primitive::readInt, {1}, ConfigReadFailure::readInt, {"error 0 1\n"}},
        {Primitive::readInt, {1, 2}, ConfigReadFailure::readInt, {"error 0 2\n"}},
        {Primitive::readInt, {1, 2, 3}, ConfigReadFailure::readInt, {"error 0 3\n"}},
        {Primitive::readLong, {}, ConfigReadFailure::readLong, {"error 0\n"}},
        {Primitive::readLong, {1, 2, 3, 4}, ConfigReadFailure::readLong, {"error 0\n"}},
        {Primitive::readLong, {1, 2, 3, 4, 5, 6, 7}, ConfigReadFailure::readLong, {"error 0\n"}},
        {Primitive::readShort, {}, ConfigReadFailure::readShort, {"error 0\n"}},
        {Primitive::readShort, {1}, ConfigReadFailure::readShort, {"error 0\n"}},
        // A string's length field is read by readInt.
        {Primitive::readString, {}, ConfigReadFailure::readInt, {"error 0 0\n"}},
        {Primitive::readString, {3, 0}, ConfigReadFailure::readInt, {"error 0 2\n"}},
        {Primitive::readString, {3, 0, 0, 0, 'a', 'b'}, ConfigReadFailure::readString, {}},
        {Primitive::readString, {1, 0, 0, 0}, ConfigReadFailure::readString, {}},
        {Primitive::readWString, {4, 0, 0}, ConfigReadFailure::readInt, {"error 0 3\n"}},
        {Primitive::readWString, {4, 0, 0, 0, 'a', 0, 'b'}, ConfigReadFailure::readWString, {}},
        {Primitive::readWString, {2, 0, 0, 0}, ConfigReadFailure::readWString, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.bytes));
        RecordingTrace trace;
        RecordingSource file(c.bytes);
        BlockReader in(file, &trace);
        EXPECT_FALSE(readOne(in, c.primitive));
        EXPECT_EQ(in.failure(), c.failure);
        EXPECT_EQ(trace.lines, c.trace);
    }
}

// A read the system refuses: the trace line carries its error, and readInt's
// the bytes that arrived before it.
TEST(BlockReader, FailedSystemReadTracesItsError) {
    struct Case {
        Primitive primitive;
        std::uint64_t failFrom;
        ConfigReadFailure failure;
        std::string line;
    } cases[] = {
        {Primitive::readInt, 0, ConfigReadFailure::readInt, "error 38 0\n"},
        {Primitive::readInt, 2, ConfigReadFailure::readInt, "error 38 2\n"},
        {Primitive::readLong, 5, ConfigReadFailure::readLong, "error 38\n"},
        {Primitive::readShort, 1, ConfigReadFailure::readShort, "error 38\n"},
        {Primitive::readString, 3, ConfigReadFailure::readInt, "error 38 3\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        RecordingTrace trace;
        RecordingSource file(std::vector<std::uint8_t>(16, 1));
        file.failFrom(c.failFrom, 38);
        BlockReader in(file, &trace);
        EXPECT_FALSE(readOne(in, c.primitive));
        EXPECT_EQ(in.failure(), c.failure);
        EXPECT_EQ(trace.lines, (std::vector<std::string>{c.line}));
    }
}

TEST(BlockReader, HostileLengthsFailBeforeAnythingIsRead) {
    struct Case {
        Primitive primitive;
        std::int32_t length;
        ConfigReadFailure failure;
    } cases[] = {
        {Primitive::readString, -1, ConfigReadFailure::readString},
        {Primitive::readString, 9, ConfigReadFailure::readString},  // one more than remains
        {Primitive::readString, INT32_MAX, ConfigReadFailure::readString},
        {Primitive::readWString, -2, ConfigReadFailure::readWString},
        {Primitive::readWString, INT32_MAX - 1, ConfigReadFailure::readWString},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        ByteBuilder b;
        b.i32(c.length).raw("12345678");
        RecordingSource file(b.bytes);
        BlockReader in(file);
        std::string text = "untouched";
        std::u16string wide = u"untouched";
        bool ok = c.primitive == Primitive::readString ? in.readString(text) : in.readWString(wide);
        EXPECT_FALSE(ok);
        EXPECT_EQ(in.failure(), c.failure);
        EXPECT_EQ(text, "untouched");
        EXPECT_EQ(wide, u"untouched");
        EXPECT_EQ(in.position(), 4);  // the length only: the text was never read
    }
}

// Values are settings and message texts: a length above 1 MiB is damage, and
// is refused even where the source holds that many bytes, before anything is
// read or allocated for it.
TEST(BlockReader, LengthsAboveOneMebibyteAreRefused) {
    struct Case {
        Primitive primitive;
        std::int32_t length;
        ConfigReadFailure failure;
    } cases[] = {
        {Primitive::readString, maxConfigValueBytes, ConfigReadFailure::none},
        {Primitive::readString, maxConfigValueBytes + 1, ConfigReadFailure::readString},
        {Primitive::readWString, maxConfigValueBytes, ConfigReadFailure::none},
        {Primitive::readWString, maxConfigValueBytes + 1, ConfigReadFailure::readWString},
        {Primitive::readWString, maxConfigValueBytes + 2, ConfigReadFailure::readWString},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        ByteBuilder b;
        b.i32(c.length).raw(std::vector<std::uint8_t>(maxConfigValueBytes + 64, 'v'));
        RecordingSource file(b.bytes);
        BlockReader in(file);
        EXPECT_EQ(readOne(in, c.primitive), c.failure == ConfigReadFailure::none);
        EXPECT_EQ(in.failure(), c.failure);
        if (c.failure == ConfigReadFailure::none) {
            EXPECT_EQ(in.position(), 4 + c.length);
        } else {
            EXPECT_EQ(in.position(), 4);
            EXPECT_EQ(file.reads.size(), 1u);  // the window that held the length
        }
    }
}

// Values are used as C strings: text ends at the first zero. An odd wide
// length is read in full, its last byte being no part of any unit.
TEST(BlockReader, TextEndsAtTheFirstZeroAndAnOddWideByteIsDropped) {
    ByteBuilder b;
    b.str(std::string("ab\0cd", 5)).wstr(std::u16string(u"xy\0z", 4)).i32(5).raw(std::string("A\0B\0X", 5)).i32(77);
    RecordingSource file(b.bytes);
    BlockReader in(file);
    std::string text;
    std::u16string wide, odd;
    std::int32_t next = 0;
    ASSERT_TRUE(in.readString(text) && in.readWString(wide) && in.readWString(odd) && in.readInt(next));
    EXPECT_EQ(text, "ab");
    EXPECT_EQ(wide, u"xy");
    EXPECT_EQ(odd, u"AB");
    EXPECT_EQ(next, 77);
}

// Hostile headers point anywhere; nothing is asked of the file where nothing
// can be, and the field simply runs short.
TEST(BlockReader, ReadsNothingAtNegativeOrPastTheEndPositions) {
    for (std::int64_t position : {std::int64_t{-1}, std::int64_t{INT32_MIN}, std::int64_t{16},
                                  std::int64_t{0x7FFFFFFF} * 3}) {
        SCOPED_TRACE(position);
        RecordingTrace trace;
        RecordingSource file(std::vector<std::uint8_t>(16, 1));
        BlockReader in(file, &trace);
        in.seek(position);
        EXPECT_FALSE(readOne(in, Primitive::readInt));
        EXPECT_TRUE(file.reads.empty());
        EXPECT_EQ(trace.lines, (std::vector<std::string>{"error 0 0\n"}));
    }
}

TEST(BlockReader, LongTextIsReadInWindowSizedPieces) {
    std::string text(3 * BlockReader::windowSize + 17, 'q');
    text[BlockReader::windowSize] = 'r';
    ByteBuilder b;
    b.str(text).i32(99);
    RecordingSource file(b.bytes);
    BlockReader in(file);
    std::string read;
    std::int32_t next = 0;
    ASSERT_TRUE(in.readString(read) && in.readInt(next));
    EXPECT_EQ(read, text);
    EXPECT_EQ(next, 99);
    EXPECT_LE(file.largestRead(), BlockReader::windowSize);
    EXPECT_EQ(file.reads.size(), 4u);
}

}  // namespace
}  // namespace qarvo
