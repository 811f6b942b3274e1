#include "image/IncludedFilesSection.h"

#include <gtest/gtest.h>

#include "image/testing/ByteBuilder.h"
#include "image/testing/RecordingSource.h"

namespace qarvo {
namespace {

using testing::ByteBuilder;
using testing::RecordingSource;

using Bytes = std::vector<std::uint8_t>;
using F = IncludedFilesFailure;

class CollectingSink final : public IncludedFileSink {
public:
    explicit CollectingSink(std::size_t refuseAfter = SIZE_MAX) : refuseAfter_(refuseAfter) {}
    bool write(const std::uint8_t* bytes, std::size_t size) override {
        if (pieces.size() >= refuseAfter_) return false;
        pieces.push_back(size);
        content.insert(content.end(), bytes, bytes + size);
        return true;
    }
    Bytes content;
    std::vector<std::size_t> pieces;

private:
    std::size_t refuseAfter_;
};

TEST(IncludedFilesSection, EntriesAreALengthAndTheScrambledContent) {
    Bytes section;
    appendIncludedFile(section, Bytes{0x01, 0x02, 0xA7, 0x00});
    appendIncludedFile(section, Bytes{});
    EXPECT_EQ(section, (Bytes{4, 0, 0, 0, 0, 0, 0, 0, 0xA6, 0xA5, 0x00, 0xA7,  //
                              0, 0, 0, 0, 0, 0, 0, 0}));
    const auto negative = encodeIncludedFileHeader(-2);
    EXPECT_EQ(Bytes(negative.begin(), negative.end()), (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

// Whole entries come back as written, large ones in chunk-sized pieces; an
// entry of length 0 or less has no content, and the next length follows.
TEST(IncludedFilesSection, ReaderWalksTheEntriesAWriterWrote) {
    Bytes large(2 * IncludedFilesReader::chunkSize + 5);
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<std::uint8_t>(i * 31);
    const std::vector<Bytes> files = {Bytes{'a', 'b'}, Bytes{}, large};
    Bytes section(100, 0x55);  // a block in front
    for (const Bytes& file : files) appendIncludedFile(section, file);
    const auto negative = encodeIncludedFileHeader(-1);
    section.insert(section.end(), negative.begin(), negative.end());
    section.push_back(0x77);  // less than a length

    RecordingSource source(section);
    IncludedFilesReader reader(source, 100);
    std::int64_t length = 0;
    for (const Bytes& file : files) {
        ASSERT_TRUE(reader.nextEntry(length));
        EXPECT_EQ(length, static_cast<std::int64_t>(file.size()));
        CollectingSink sink;
        ASSERT_TRUE(reader.copyContent(sink));
        EXPECT_EQ(sink.content, file);
        EXPECT_EQ(reader.copied(), file.size());
        for (std::size_t piece : sink.pieces) EXPECT_LE(piece, IncludedFilesReader::chunkSize);
    }
    ASSERT_TRUE(reader.nextEntry(length));
    EXPECT_EQ(length, -1);
    EXPECT_TRUE(reader.skipContent());
    EXPECT_EQ(reader.position(), section.size() - 1);
    EXPECT_FALSE(reader.nextEntry(length));
    EXPECT_EQ(reader.failure(), F::lengthCut);
    EXPECT_LE(source.largestRead(), IncludedFilesReader::chunkSize);
}

// Cut and hostile sections: a length the source cannot hold fails before
// anything is read or handed on, where the source tells its size; otherwise
// when the content runs dry.
TEST(IncludedFilesSection, CutAndHostileEntriesFailWithoutReadingTooMuch) {
    enum class Step { copy, skip };
    struct Case {
        const char* name;
        Bytes section;
        bool hideSize;
        std::uint64_t failFrom;
        Step step;
        std::size_t refuseAfter;
        IncludedFilesFailure failure;
        std::uint64_t copied;
        std::size_t reads;  // asked of the source in all
    } cases[] = {
        {"empty", {}, false, UINT64_MAX, Step::copy, SIZE_MAX, F::lengthCut, 0, 1},
        {"length cut", {1, 0, 0}, false, UINT64_MAX, Step::copy, SIZE_MAX, F::lengthCut, 0, 1},
        {"content cut", ByteBuilder().i64(10).raw("1234").bytes, false, UINT64_MAX, Step::copy, SIZE_MAX,
         F::contentCut, 0, 1},
        {"largest length", ByteBuilder().i64(INT64_MAX).raw("1234").bytes, false, UINT64_MAX, Step::copy, SIZE_MAX,
         F::contentCut, 0, 1},
        {"largest length skipped", ByteBuilder().i64(INT64_MAX).bytes, false, UINT64_MAX, Step::skip, SIZE_MAX,
         F::contentCut, 0, 1},
        {"content cut, size unknown", ByteBuilder().i64(10).raw("1234").bytes, true, UINT64_MAX, Step::copy,
         SIZE_MAX, F::contentCut, 4, 3},
        {"content cut, size unknown, skipped", ByteBuilder().i64(10).raw("1234").bytes, true, UINT64_MAX, Step::skip,
         SIZE_MAX, F::contentCut, 4, 3},
        {"read failing", ByteBuilder().i64(10).raw("1234567890").bytes, false, 12, Step::copy, SIZE_MAX,
         F::readFailed, 4, 3},
        {"sink refusing", ByteBuilder().i64(10).raw("1234567890").bytes, false, UINT64_MAX, Step::copy, 0,
         F::sinkFailed, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingSource source(c.section);
        if (c.hideSize) source.hideSize();
        source.failFrom(c.failFrom, 38);
        IncludedFilesReader reader(source, 0);
        CollectingSink sink(c.refuseAfter);
        std::int64_t length = 0;
        const bool ok = reader.nextEntry(length) &&
                        (c.step == Step::copy ? reader.copyContent(sink) : reader.skipContent());
        EXPECT_FALSE(ok);
        EXPECT_EQ(reader.failure(), c.failure);
        EXPECT_EQ(reader.error(), c.failure == F::readFailed ? 38u : 0u);
        EXPECT_EQ(reader.copied(), c.copied);
        EXPECT_EQ(sink.content.size(), c.step == Step::copy ? c.copied : 0u);
        EXPECT_EQ(source.reads.size(), c.reads);
        EXPECT_FALSE(reader.nextEntry(length));  // a failed reader stays failed
        EXPECT_EQ(source.reads.size(), c.reads);
    }
}

}  // namespace
}  // namespace qarvo
