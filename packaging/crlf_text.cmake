# Writes IN to OUT with CR LF line ends, for the Windows zip:
#   cmake -DIN=file -DOUT=file -P crlf_text.cmake
file(READ "${IN}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUT}" "${text}")
