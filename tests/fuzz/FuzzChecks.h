#pragma once
// What must hold for any input at all, one function per fuzz target. Each returns an empty
// string when everything held, otherwise what broke (a crash or a sanitizer report counts as
// broken too). libFuzzer drives them through FuzzTarget.cpp; the normal test suite feeds them
// the kept inputs of tests/fuzz/<target>/.
#include <cstdint>
#include <string>
#include <string_view>

namespace tolvane::fuzz {

// The settings file parser: reading any key, and writing one key without touching the others.
std::string CheckProfileFile(std::string_view input);
// The line reader with the code page 932 decoder: every line survives a rewrite.
std::string CheckLineFile(std::string_view input);
// The timer entry codes: "code\nlist name\nHHMM" after four bytes that pick the instant.
std::string CheckTimerCode(std::string_view input);
// Control connection bytes cut into replies (the first byte picks the piece size), the reply
// texts shown to the person, and the passive and time replies read from them.
std::string CheckFtpReply(std::string_view input);
// LIST lines in the Unix and DOS forms (the first four bytes pick the instant).
std::string CheckFtpListing(std::string_view input);

// Takes four leading bytes as an instant between 2000 and about 2136, the clocks the program
// could see.
int64_t TakeInstant(std::string_view& input);

}  // namespace tolvane::fuzz
