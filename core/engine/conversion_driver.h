// SPDX-License-Identifier: MIT
// The driving that every conversion shares: reading, the cut, the two
// threads, the converted text's room and blocks, the line-end rerun and the
// output file. A format brings only its reader and writer. Not part of the
// public interface.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "engine/side_by_side.h"
#include "files/input_file.h"
#include "files/output_file.h"
#include "quarvo/base/callbacks.h"
#include "text/line_ends.h"
#include "text/text_buffer.h"
#include "text/text_cut.h"

namespace quarvo {

// A text to convert of which only the bytes of the window may be there yet;
// a cut is looked for in the window alone. `read_head` brings the bytes
// before it and `read_tail` those after it; either is empty when there are
// none to bring.
// `most_held` bounds the room of the second part's converted text that is
// held back while the first part is converted.
struct PartlyRead {
    std::string_view text;
    CutWindow window;
    std::function<void()> read_head;
    std::function<void()> read_tail;
    std::size_t most_held = std::string_view::npos;
};

// Converts texts and files with `Format`, which names what the driver cannot
// know:
//
//   struct Format {
//       using Result = ...;  // what converting a part gives, such as a count
//       static constexpr std::string_view kPrologue, kEpilogue;  // around the records
//       // Where `window` can be cut near `near` (see TextCut), if anywhere.
//       static std::optional<TextCut> FindCut(std::string_view window, std::size_t near);
//       // Appends the records of `part` (CR LF line ends) to `out`, handing
//       // full blocks to `drain` when it is set; `ends_text` is false for
//       // the first of two parts.
//       static Result ConvertPart(TextBuffer& out, std::string_view part, bool ends_text,
//                                 const ProgressSink& progress, const BlockSink& drain);
//       static Result Join(const Result& first, const Result& second);
//       static bool Keeps(const Result& result);  // else nothing is written
//   };
template <class Format>
class ConversionDriver {
  public:
    using Result = typename Format::Result;

    struct Converted {
        std::string text;  // empty when the result is not kept
        Result result;
    };

    // Converts the bytes of a file, cut near `near` (not at all when `near`
    // lies past the end) and the parts converted side by side.
    [[nodiscard]] static Converted Text(std::string_view text, std::size_t near,
                                        const ProgressSink& progress) {
        Pieces pieces = InMemory(
            text, near, [&](const PartlyRead& source, bool check_line_ends, std::size_t cut_near) {
                return ConvertPieces(source, check_line_ends, cut_near, progress);
            });
        if (!Format::Keeps(pieces.result)) return Converted{std::string(), pieces.result};
        pieces.first.Append(pieces.second.view());
        return Converted{std::move(pieces.first).Take(), pieces.result};
    }

    // Called with the input's text as it was converted and the result,
    // before the new file is put in place.
    using Inspection = std::function<void(std::string_view input, const Result& result)>;

    // Reads `input_path`, converts it and replaces `output_path` with the
    // text, unless the result is not kept: the output then stays as it was.
    // `inspect`, when set, sees the input's text while it is still held.
    // File errors propagate; a missing or unreadable input is an EFOpenError.
    static Result File(const std::string& input_path, const std::string& output_path,
                       const ProgressSink& progress, const Inspection& inspect = {}) {
        OutputFile output(output_path);
        const BlockSink drain = output.Sink();
        const Pieces pieces = FromFile(
            input_path,
            [&](const PartlyRead& source, bool check_line_ends, std::size_t near) {
                return ConvertPieces(source, check_line_ends, near, progress, drain);
            },
            inspect);
        if (!Format::Keeps(pieces.result)) return pieces.result;
        output.Write(pieces.first.view());
        output.Write(pieces.second.view());
        output.Finish();
        return pieces.result;
    }

  private:
    // The converted text in two pieces, so that a file can be written
    // without first joining them.
    struct Pieces {
        TextBuffer first;   // starts with the prologue
        TextBuffer second;  // ends with the epilogue when the text was cut
        Result result{};
    };

    // Text that is kept whole is given room for twice its entries at once,
    // as a record can be longer than its entry (a sparse contact's by half,
    // a bookmark's by its escapes); text handed on in blocks needs a
    // block's room.
    static void ReserveFor(TextBuffer& out, std::size_t entries_bytes, bool kept_whole) {
        out.Reserve(kept_whole
                        ? Format::kPrologue.size() + 2 * entries_bytes + Format::kEpilogue.size()
                        : kBlockRoomBytes,
                    kept_whole);
    }

    static void EndWithEpilogue(TextBuffer& out) {
        if constexpr (!Format::kEpilogue.empty()) out.Append(Format::kEpilogue);
    }

    // Converts the text; with a `drain`, the text is handed to it in blocks
    // as it grows (see ConvertSideBySide), and only what it did not take is
    // returned. With `check_line_ends`, returns nothing (having delivered
    // nothing) when the text, or one of its parts, holds line ends other than
    // CR LF: the whole text must then be judged.
    //
    // With `near` inside the window of bytes read first and a cut found
    // there, the two parts are converted side by side.
    static std::optional<Pieces> ConvertPieces(const PartlyRead& source, bool check_line_ends,
                                               std::size_t near, const ProgressSink& progress,
                                               const BlockSink& drain = {}) {
        const std::string_view text = source.text;
        const std::string_view window = text.substr(0, source.window.end);
        std::optional<TextCut> cut;
        if (near >= source.window.begin && near < window.size())
            cut = Format::FindCut(window, near);
        // A cut at the very end leaves the second part nothing to convert.
        if (cut && cut->first_end >= text.size()) cut.reset();

        Pieces result;
        ReserveFor(result.first, text.size(), !drain);
        result.first.Append(Format::kPrologue);
        if (!cut) {
            if (source.read_head) source.read_head();
            if (source.read_tail) source.read_tail();
            if (check_line_ends && NeedsCrLfLineEnds(text)) return std::nullopt;
            result.result = Format::ConvertPart(result.first, text, true, progress, drain);
            EndWithEpilogue(result.first);
            return result;
        }

        const std::string_view first_part = text.substr(0, cut->first_end);
        const std::string_view second_part = text.substr(cut->second_begin);
        Result first{};
        Result second{};
        const bool converted = ConvertSideBySide(
            first_part, second_part, check_line_ends, source.most_held, progress, drain,
            result.first,
            [&] {
                if (source.read_head) source.read_head();
            },
            [&] {
                if (source.read_tail) source.read_tail();
            },
            [&](const ProgressSink& here, const BlockSink& here_drain) {
                first = Format::ConvertPart(result.first, first_part, false, here, here_drain);
            },
            [&](const ProgressSink& there, const BlockSink& there_drain) {
                ReserveFor(result.second, second_part.size(), false);
                second = Format::ConvertPart(result.second, second_part, true, there, there_drain);
                EndWithEpilogue(result.second);
            });
        if (!converted) return std::nullopt;
        result.result = Format::Join(first, second);
        return result;
    }

    // Converts a text held in memory with `convert(source, check_line_ends,
    // near)`, which returns its result in an optional that is empty when the
    // text, or one of the parts it was cut into, holds line ends other than
    // CR LF; the whole text is then judged, and converted once more as it is
    // or as its CR LF copy.
    template <class Convert>
    static Pieces InMemory(std::string_view text, std::size_t near, Convert&& convert) {
        auto converted = convert(PartlyRead{text, {0, text.size()}, {}, {}}, true, near);
        if (!converted) {
            if (!NeedsCrLfLineEnds(text)) {
                converted = convert(PartlyRead{text, {0, text.size()}, {}, {}}, false, near);
            } else {
                const std::string crlf = WithCrLfLineEnds(text);
                converted = convert(PartlyRead{crlf, {0, crlf.size()}, {}, {}}, false, near);
            }
        }
        return std::move(*converted);
    }

    // The same for the file `file_name` (which must exist): the window where
    // the cut is looked for is read first, and each half then by the thread
    // that converts it. `inspect` (may be empty) sees the text as converted;
    // the file's bytes are given up before this returns.
    template <class Convert>
    static Pieces FromFile(const std::string& file_name, Convert&& convert,
                           const Inspection& inspect) {
        InputFile input(file_name);
        // Converted text held back beside the file's bytes stays within the
        // file's size, so that a conversion holds at most twice that.
        const std::size_t file_size = input.size();
        const std::size_t near = CutPoint(file_size);
        const CutWindow window = WindowFor(file_size, near);
        input.Read(window.begin, window.end);
        auto converted =
            convert(PartlyRead{input.text(), window, [&] { input.Read(0, window.begin); },
                               [&] { input.Read(window.end, file_size); }, file_size},
                    true, near);
        if (!converted) {
            // Judged on the whole file; its text grows in place where it
            // needs CR LF line ends, so that it is never held twice.
            input.MakeLineEndsCrLf();
            const std::size_t growth = input.size() - file_size;
            converted =
                convert(PartlyRead{input.text(), {0, input.size()}, {}, {}, file_size - growth},
                        false, CutPoint(input.size()));
        }
        if (inspect) inspect(input.text(), converted->result);
        return std::move(*converted);
    }
};

}  // namespace quarvo
