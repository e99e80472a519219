list(APPEND TOLVANE_CORE_SOURCES
  src/transfer/AsciiModeTable.cpp
  src/transfer/UploadRun.cpp
  src/transfer/ClockCheck.cpp
  src/transfer/CrLfEncoder.cpp
  src/transfer/DirectoryTracker.cpp
  src/transfer/FailureTexts.cpp
  src/transfer/FtpClient.cpp
  src/transfer/FtpControl.cpp
  src/transfer/FtpDataAddress.cpp
  src/transfer/FtpDataChannel.cpp
  src/transfer/FtpEndpoint.cpp
  src/transfer/FtpFileFinder.cpp
  src/transfer/FtpFolderListing.cpp
  src/transfer/FtpListing.cpp
  src/transfer/FtpReplyReader.cpp
  src/transfer/FtpResolver.cpp
  src/transfer/FtpSession.cpp
  src/transfer/FtpSocket.cpp
  src/transfer/FtpTimes.cpp
  src/transfer/FtpWireText.cpp
  src/transfer/ListedFolders.cpp
  src/transfer/PerFileFolders.cpp
  src/transfer/SafeUploader.cpp
  src/transfer/ServerLogin.cpp
)
list(APPEND TOLVANE_GUI_SOURCES
)
