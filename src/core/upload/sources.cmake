list(APPEND TOLVANE_CORE_SOURCES
  src/core/upload/CertificateTexts.cpp
  src/core/upload/ClockCheck.cpp
  src/core/upload/DirectoryTracker.cpp
  src/core/upload/FailureTexts.cpp
  src/core/upload/ListedFolders.cpp
  src/core/upload/PerFileFolders.cpp
  src/core/upload/PreviewFolders.cpp
  src/core/upload/PreviewText.cpp
  src/core/upload/SafeUploader.cpp
  src/core/upload/ResultLine.cpp
  src/core/upload/RunLock.cpp
  src/core/upload/RunLog.cpp
  src/core/upload/RunLogReader.cpp
  src/core/upload/ServerLogin.cpp
  src/core/upload/UploadRun.cpp
  src/core/upload/UploadStarter.cpp
)
