#include "ftp/FtpReplyReader.h"

namespace tolvane {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The code of a line "ddd text", "ddd-text" or "ddd"; 0 when the line does not start so.
int CodeOf(const std::string& line) {
  if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2])) return 0;
  if (line[0] < '1' || line[0] > '5') return 0;
  if (line.size() > 3 && line[3] != ' ' && line[3] != '-') return 0;
  return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

bool OpensMultiLine(const std::string& line) { return line.size() > 3 && line[3] == '-'; }

}  // namespace

void FtpReplyReader::Feed(std::string_view bytes) {
  while (!bytes.empty() && !garbled_) {
    size_t lf = bytes.find('\n');
    std::string_view piece = bytes.substr(0, lf);
    if (!partialOverlong_) {
      size_t room = kMaxLineBytes - partial_.size();
      partial_.append(piece.substr(0, room));
      partialOverlong_ = piece.size() > room;
    }
    if (lf == std::string_view::npos) return;
    bytes.remove_prefix(lf + 1);
    std::string line = std::move(partial_);
    partial_.clear();
    partialOverlong_ = false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    TakeLine(std::move(line));
  }
}

void FtpReplyReader::TakeLine(std::string line) {
  int code = CodeOf(line);
  if (!open_) {
    if (code == 0) {
      garbled_ = true;
      return;
    }
    FtpReply reply{code, {std::move(line)}};
    if (OpensMultiLine(reply.lines.front())) {
      open_ = std::move(reply);
    } else {
      complete_.push_back(std::move(reply));
    }
    return;
  }
  // Inside a multi-line reply any line may appear; only "ddd " with the same code ends it.
  bool last = code == open_->code && !OpensMultiLine(line);
  if (last || open_->lines.size() < kMaxLines - 1) open_->lines.push_back(std::move(line));
  if (last) {
    complete_.push_back(std::move(*open_));
    open_.reset();
  }
}

std::optional<FtpReply> FtpReplyReader::Next() {
  if (complete_.empty()) return std::nullopt;
  FtpReply reply = std::move(complete_.front());
  complete_.pop_front();
  return reply;
}

}  // namespace tolvane
