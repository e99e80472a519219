list(APPEND TOLVANE_CORE_SOURCES
  src/core/ftp/CrLfEncoder.cpp
  src/core/ftp/FtpClient.cpp
  src/core/ftp/FtpControl.cpp
  src/core/ftp/FtpDataAddress.cpp
  src/core/ftp/FtpDataChannel.cpp
  src/core/ftp/FtpEndpoint.cpp
  src/core/ftp/FtpFileFinder.cpp
  src/core/ftp/FtpFolderListing.cpp
  src/core/ftp/FtpListing.cpp
  src/core/ftp/FtpReplyReader.cpp
  src/core/ftp/FtpResolver.cpp
  src/core/ftp/FtpSession.cpp
  src/core/ftp/FtpSocket.cpp
  src/core/ftp/FtpTimes.cpp
  src/core/ftp/FtpWireText.cpp
)
