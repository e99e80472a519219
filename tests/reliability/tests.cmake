# Faults, bad input and misuse across the program: servers that misbehave, damaged files,
# failing writes, and what must never reach the wire or the screen.
list(APPEND FTP_TEST_SOURCES
  reliability/ScheduledRunFaultTest.cpp
  reliability/SecurityTest.cpp
  reliability/UploadRunFaultTest.cpp
)
list(APPEND CORE_TEST_SOURCES
  reliability/FuzzInputTest.cpp
  fuzz/FileFuzzChecks.cpp
  fuzz/FtpFuzzChecks.cpp
  fuzz/TimerFuzzChecks.cpp
)
list(APPEND CORE_TEST_SOURCES
  reliability/FailedWriteTest.cpp
  reliability/JunkFilesTest.cpp
  reliability/ProgramFolderFilesTest.cpp
)
