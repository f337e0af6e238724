#include "wording/JoinMessages.h"

#include "engine/ScriptGrammar.h"
#include "engine/SplitRequest.h"
#include "platform/VisibleText.h"
#include "wording/Translation.h"

namespace {

std::string quoted(const std::string& name) {
    return "\"" + visibleText(name) + "\"";
}

// "2500000 bytes", as a part of a sentence that counts more than one thing.
std::string bytes(std::int64_t count) {
    return fillIn(translatePlural("%1 byte", "%1 bytes", static_cast<unsigned long>(count)),
                  {std::to_string(count)});
}

// Where a script departs from the form the split writes, and what was due there.
std::string scriptFormText(const join_refusal::ScriptForm& r, const std::string& scriptName) {
    using namespace script_grammar;
    const std::string script = visibleText(scriptName);
    const std::string line = std::to_string(r.line);
    switch (r.due) {
    case ScriptPart::EchoOff:
        return fillIn(translate("%1, line %2: expected \"%3\". Only a rejoin script as Orvanto "
                                "writes it is joined."),
                      {script, line, kEchoOff});
    case ScriptPart::CopyCommand:
        return fillIn(translate("%1, line %2: expected \"%3\". Only a rejoin script as Orvanto "
                                "writes it is joined."),
                      {script, line, kCopyCommand});
    case ScriptPart::QuotedName:
        return fillIn(
            translate("%1, line %2: expected a name in double quotes. Only a rejoin script as "
                      "Orvanto writes it is joined."),
            {script, line});
    case ScriptPart::NextPieceOrTarget:
        return fillIn(
            translate("%1, line %2: expected \" + \" and a piece's name, or \" \" and the "
                      "target. Only a rejoin script as Orvanto writes it is joined."),
            {script, line});
    case ScriptPart::MorePieces:
        return fillIn(
            translate("%1, line %2: expected \" + \" and a piece's name. Only a rejoin script "
                      "as Orvanto writes it is joined."),
            {script, line});
    case ScriptPart::TargetFirstAndLast:
        return fillIn(translate("%1, line %2: expected %3 first and last. Only a rejoin script as "
                                "Orvanto writes it is joined."),
                      {script, line, quoted(r.target)});
    case ScriptPart::LineEnd:
        return fillIn(
            translate("%1, line %2: expected the end of the line. Only a rejoin script as "
                      "Orvanto writes it is joined."),
            {script, line});
    case ScriptPart::ShortLine:
        return fillIn(translate("%1, line %2: expected a line of at most %3 characters. Only a "
                                "rejoin script as Orvanto writes it is joined."),
                      {script, line, std::to_string(kLongestScriptLine)});
    case ScriptPart::EchoLine:
        return fillIn(translate("%1, line %2: expected \"%3\", the target's name and \"%4\". "
                                "Only a rejoin script as Orvanto writes it is joined."),
                      {script, line, kEcho, kRecreated});
    case ScriptPart::ScriptEnd:
        return fillIn(
            translate("%1, line %2: expected the end of the script. Only a rejoin script as "
                      "Orvanto writes it is joined."),
            {script, line});
    case ScriptPart::WholeScript:
        return fillIn(
            translate("%1, line %2: expected a rejoin script. Only a rejoin script as Orvanto "
                      "writes it is joined."),
            {script, line});
    case ScriptPart::FewerPieces:
        return fillIn(translate("%1, line %2: expected at most %3 pieces. Only a rejoin script as "
                                "Orvanto writes it is joined."),
                      {script, line, std::to_string(kMostPieces + 1)});
    case ScriptPart::SwitchToUtf8:
        return fillIn(
            translate("%1, line %2: expected the lines that switch cmd to UTF-8, which a name "
                      "outside plain ASCII needs. Only a rejoin script as Orvanto writes it is "
                      "joined."),
            {script, line});
    case ScriptPart::RestoreCodePage:
        return fillIn(translate("%1, line %2: expected \"%3\", which switches back to the code "
                                "page saved. Only a rejoin script as Orvanto writes it is joined."),
                      {script, line, kRestoreCodePage});
    case ScriptPart::AsciiCopyCommand:
        return fillIn(translate("%1, line %2: expected \"%3\", since names in plain ASCII need no "
                                "switch to UTF-8. Only a rejoin script as Orvanto writes it is "
                                "joined."),
                      {script, line, kCopyCommand});
    }
    return {};
}

// Each refusal in its words; scriptName is the script as the user named it.
struct RefusalText {
    const std::string& scriptName;

    std::string operator()(const join_refusal::ScriptForm& r) const {
        return scriptFormText(r, scriptName);
    }
    std::string operator()(const join_refusal::UnsafeName& r) const {
        return fillIn(translate("%1, line %2: the name %3 is not one that Orvanto writes: a "
                                "folder, a drive, or a name Windows refuses."),
                      {visibleText(scriptName), std::to_string(r.line), quoted(r.name)});
    }
    std::string operator()(const join_refusal::PieceOutOfOrder& r) const {
        return fillIn(
            translate("%1, line %2: expected the piece %3, not %4."),
            {visibleText(scriptName), std::to_string(r.line), quoted(r.due), quoted(r.name)});
    }
    std::string operator()(const join_refusal::UnreadablePieces& r) const {
        // One whole sentence a piece, so that every name is read however many there are.
        std::string text;
        for (const std::string& name : r.missing)
            text += (text.empty() ? "" : " ") +
                    fillIn(translate("The piece %1 is missing."), {quoted(name)});
        for (const std::string& name : r.notPlainFiles)
            text += (text.empty() ? "" : " ") +
                    fillIn(translate("The piece %1 is not a plain file."), {quoted(name)});
        return text;
    }
    std::string operator()(const join_refusal::ShortPiece& r) const {
        return fillIn(translate("The piece %1 is short: it holds %2, the first piece %3."),
                      {quoted(r.name), bytes(r.size), bytes(r.firstPieceSize)});
    }
    std::string operator()(const join_refusal::LongPiece& r) const {
        return fillIn(translate("The piece %1 holds %2, more than the first piece's %3."),
                      {quoted(r.name), bytes(r.size), bytes(r.firstPieceSize)});
    }
    std::string operator()(const join_refusal::TargetExists& r) const {
        return fillIn(translate("%1 already exists."), {visibleText(r.path)});
    }
    std::string operator()(const join_refusal::ChecksumNotPlainFile& r) const {
        return fillIn(translate("The checksum file %1 is not a plain file: a link, a pipe or a "
                                "device is not read."),
                      {quoted(r.name)});
    }
    std::string operator()(const join_refusal::ChecksumForm& r) const {
        const std::string line = std::to_string(r.line);
        if (r.due.empty())
            return fillIn(translate("%1, line %2: expected the end of the file. Only a checksum "
                                    "file as Orvanto writes it is read."),
                          {visibleText(r.name), line});
        return fillIn(translate("%1, line %2: expected 64 lowercase hexadecimal digits, two blanks "
                                "and %3 on a line of its own. Only a checksum file as Orvanto "
                                "writes it is read."),
                      {visibleText(r.name), line, quoted(r.due)});
    }
    std::string operator()(const join_refusal::DigestMismatch& r) const {
        const std::string checksum = visibleText(r.checksumName);
        if (!r.target.empty())
            return fillIn(translate("The pieces match %1, but the file they make is not %2 as it "
                                    "was split: its SHA-256 differs. Ask the sender for %1 again."),
                          {checksum, visibleText(r.target)});
        std::string text;
        for (const std::string& piece : r.pieces)
            text += (text.empty() ? "" : " ") +
                    fillIn(translate("%1 is not the piece that was split: its SHA-256 differs "
                                     "from %2. Ask the sender for %1 again."),
                           {visibleText(piece), checksum});
        return text;
    }
    std::string operator()(const NotEnoughSpace& r) const {
        return fillIn(translate("The recreated file needs %1, but only %2 are free in %3."),
                      {bytes(r.bytesNeeded), bytes(r.bytesFree), visibleText(r.folder)});
    }
};

} // namespace

std::string joinRefusalText(const JoinRefusal& refusal, const std::string& scriptName) {
    return std::visit(RefusalText{scriptName}, refusal);
}

std::string joinCompletionText(const JoinCompletion& completion) {
    const std::string checksum = visibleText(completion.checksumName);
    if (completion.verified)
        // The whole file's digest vouches for every byte of every piece; a piece's own line is
        // read only when it differs.
        return fillIn(translate("%1 has been recreated (%2). Its SHA-256 matches the whole "
                                "file's in %3."),
                      {visibleText(completion.path), bytes(completion.size), checksum});
    return fillIn(
        translate("%1 has been recreated (%2). It was not verified: there is no %3 beside "
                  "the rejoin script."),
        {visibleText(completion.path), bytes(completion.size), checksum});
}
