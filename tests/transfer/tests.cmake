list(APPEND CORE_TEST_SOURCES
  transfer/AsciiModeTableTest.cpp
  transfer/FtpFolderListingTest.cpp
  transfer/FtpListingTest.cpp
  transfer/FtpReplyReaderTest.cpp
  transfer/FtpWireTest.cpp
  transfer/PreviewTextTest.cpp
  transfer/ResultLineTest.cpp
  transfer/RunLogReaderTest.cpp
)
list(APPEND FTP_TEST_SOURCES
  transfer/UploadRunTest.cpp
  transfer/RunLogTest.cpp
  transfer/UploadMethodsAgreeTest.cpp
  transfer/PreviewAgreesTest.cpp
  transfer/PreviewFromButtonTest.cpp
  transfer/ListedFoldersTest.cpp
  transfer/ParallelRunTest.cpp
  transfer/ClockCheckTest.cpp
  transfer/FtpClientConnectTest.cpp
  transfer/FtpClientFaultTest.cpp
  transfer/FtpClientFindTest.cpp
  transfer/FtpClientPutTest.cpp
  transfer/SafeUploadTest.cpp
  transfer/RealServerTest.cpp
  transfer/FtpsTest.cpp
  transfer/FtpsRealServerTest.cpp
)
