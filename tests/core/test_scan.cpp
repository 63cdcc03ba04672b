// SPDX-License-Identifier: MIT
// The scanning kernels at the edges of their sixteen-byte steps. Each text
// sits in a buffer of exactly its size, so that a kernel that reads past
// what it may read is caught by the sanitizer build; the scalar build runs
// the same cases on the plain twins.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "quarvo/text/text_search.h"
#include "text/line_ends.h"
#include "text/scan/byte_set.h"

namespace quarvo {
namespace {

constexpr std::size_t kLongest = 40;  // two full steps and a tail

// `n` bytes of 'a' with `hit` written at `at` (when at < n), in a heap
// buffer of exactly n bytes.
std::unique_ptr<char[]> Text(std::size_t n, std::size_t at, std::string_view hit) {
    auto text = std::make_unique<char[]>(n == 0 ? 1 : n);
    std::fill_n(text.get(), n, 'a');
    for (std::size_t i = 0; i < hit.size() && at + i < n; ++i) text[at + i] = hit[i];
    return text;
}

TEST(ScanKernels, FindTheFirstHitAtEveryPlace) {
    for (std::size_t n = 0; n <= kLongest; ++n) {
        for (std::size_t at = 0; at <= n; ++at) {  // at == n: no hit
            SCOPED_TRACE("size " + std::to_string(n) + ", hit at " + std::to_string(at));
            const std::size_t hit = at < n ? at : n;
            const auto line = Text(n, at, "\n");
            const char* const stop =
                scan::FindFirstOf<'\r', '\n', '\0'>(line.get(), line.get() + n);
            EXPECT_EQ(stop, line.get() + hit);

            const auto quote = Text(n, at, "\"");
            std::string copy(n + 16, '-');
            EXPECT_EQ(scan::CopyUntilAnyOf<'"'>(quote.get(), n, quote.get() + n, copy.data()), hit);
            EXPECT_EQ(copy.substr(0, hit), std::string(hit, 'a'));
            // The bytes after a value may be read, but never count.
            const std::size_t part = hit / 2;
            EXPECT_EQ(scan::CopyUntilAnyOf<'"'>(quote.get(), part, quote.get() + n, copy.data()),
                      part);

            // A pair needs both bytes inside the text; a comma before it counts.
            const auto mail = Text(n, at, ",\x02\x02");
            const auto found = scan::FindPairAndAnyOf<'\x02', ','>(mail.get(), n, mail.get() + n);
            EXPECT_EQ(found.pair, at + 3 <= n ? at + 1 : n);
            EXPECT_EQ(found.any_before, at < n);
            const std::size_t cut = std::min(at + 2, n);  // the pair's second byte left out
            const auto cut_off =
                scan::FindPairAndAnyOf<'\x02', ','>(mail.get(), cut, mail.get() + n);
            EXPECT_EQ(cut_off.pair, cut);
            EXPECT_EQ(cut_off.any_before, at < n);

            const auto pattern = Text(n, at, "ab");
            const std::string_view text(pattern.get(), n);
            EXPECT_EQ(FindBytes(text, "ab"), at + 2 <= n ? at : std::string_view::npos);

            const auto lf = Text(n, at, "\n");
            std::string widened(lf.get(), n);
            if (at < n) widened.replace(at, 1, "\r\n");
            EXPECT_EQ(WithCrLfLineEnds(std::string_view(lf.get(), n)), widened);
            const auto crlf = Text(n, at, "\r\n");
            EXPECT_EQ(CrLfLineEndsGrowth(std::string_view(crlf.get(), n)), at + 1 == n ? 1u : 0u);
        }
    }
}

TEST(ScanKernels, FullBlockMaskMatchesTheByteByByteOne) {
    for (std::size_t at = 0; at < 32; ++at) {
        const auto text = Text(32, at, "=#");
        EXPECT_EQ((scan::HitsIn32<'#', '='>(text.get())), (scan::HitsIn<'#', '='>(text.get(), 32)));
        EXPECT_EQ((scan::HitsIn32<'#', '='>(text.get())), (at < 31 ? 3u : 1u) << at);
    }
}

}  // namespace
}  // namespace quarvo
