#include "core/line_list.h"

#include "core/errors.h"
#include "kit/atomic_file.h"
#include "kit/read_file.h"
#include "kit/text.h"
#include "kit/unicode.h"

namespace launcher {

namespace {

// Lines go to the windows as UTF-8, so what follows a UTF-8 mark is made well-formed.
std::string decode_text(std::string_view bytes, const CodePage& ansi) {
    if (auto text = kit::text::decode_marked_text(bytes, kit::text::MarkedUtf8::sanitize))
        return std::move(*text);
    return ansi.decode(bytes);
}

bool begins_like_a_mark(std::string_view bytes) {
    return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
           bytes.starts_with(kit::text::utf8_mark);
}

// The system's reason, or what stands for it where the system gave none.
std::string reason_for(const kit::FileContents& contents) {
    if (!contents.reason.empty()) return contents.reason;
    if (contents.failure == kit::ReadFailure::too_big) return "Not enough memory";
    return "It is not a regular file";
}

kit::ByteBuffer read_whole_file(const std::string& path) {
    auto contents = kit::read_regular_file(path);
    if (!contents.ok()) throw Error("Cannot open file \"" + path + "\". " + reason_for(contents));
    return std::move(contents.bytes);
}

}  // namespace

LineList LineList::from_bytes(std::string_view bytes, const CodePage& ansi) {
    const std::string text = decode_text(bytes, ansi);
    LineList list;
    for (const std::string_view line : kit::text::split_lines(text, kit::text::LineEnds::any))
        list.lines_.emplace_back(line);
    return list;
}

std::string LineList::to_bytes(const CodePage& ansi) const {
    std::string text;
    for (const auto& line : lines_) {
        text += line;
        text += "\r\n";
    }
    // ANSI bytes that happen to begin like a byte-order mark would read back as something
    // else; they, and characters the ANSI code page cannot hold, go out as UTF-8 with its mark.
    if (auto bytes = ansi.encode(text); bytes && !begins_like_a_mark(*bytes))
        return std::move(*bytes);
    return std::string(kit::text::utf8_mark) + kit::unicode::sanitize_utf8(text);
}

void LineList::load_from_file(const std::string& path, const CodePage& ansi) {
    lines_ = from_bytes(read_whole_file(path).view(), ansi).lines_;
}

void LineList::save_to_file(const std::string& path, const CodePage& ansi) const {
    if (const auto failure = kit::replace_file_atomically(path, to_bytes(ansi)))
        throw Error("Cannot create file \"" + path + "\". " + *failure);
}

const std::string& LineList::at(long index) const {
    if (index < 0 || index >= count()) throw_list_index_error(index);
    return lines_[static_cast<std::size_t>(index)];
}

void LineList::replace(long index, std::string line) {
    if (index < 0 || index >= count()) throw_list_index_error(index);
    lines_[static_cast<std::size_t>(index)] = std::move(line);
}

bool file_exists(const std::string& path) {
    return kit::regular_file_exists(path);
}

}  // namespace launcher
