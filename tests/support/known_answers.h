#pragma once
// Known answers from the openssl command-line tool, independent of TarvikValidate's code.

namespace tarvik::testing {

// The 128 bytes 00 01 ... 7f encrypted with
//   openssl enc -des-ede-cbc -nopad -K a9993e364706816aba3e25717850c26c -iv 7850c26c9cd0d89d
// The key material is sha1sum("abc") (FIPS 180): K1 = bytes 0-7, K2 = bytes 8-15, IV = 12-19.
constexpr const char* kAbcSha1 = "a9993e364706816aba3e25717850c26c9cd0d89d";
constexpr const char* kAbcIv = "7850c26c9cd0d89d";
constexpr const char* kAbcTwoChunkCiphertext =
    "dab3ecef56059a3f9b7c7c83756a1744a7fecf13733617a41d40bf8ece3b1a7a"
    "164c0366e3cb11dd63c98023b00e97c1131c14fd35f4f675c36d9e118008a4e3"
    "c81c3045a490c61a3d45c28d726240e5fc7ae0ed82357fbafd6abc5110822acb"
    "974f8172eeb882c8d38a24f1e62b1c34fd6cb8afafec54a19288c754ee1720ee";

// The 64 bytes 00 ... 3f encrypted with K1 = 0101010101010101 (a DES weak key),
// K2 = fedcba9876543210 and IV = 7654321089abcdef.
constexpr const char* kWeakKeyHash = "0101010101010101fedcba987654321089abcdef";
constexpr const char* kWeakKeyCiphertext =
    "776e0d488ccc9ad63e9b08d3433761a314b2d49af3aa59cf484ffcc7fa19aaae"
    "242e0675965e85e4b6bbf79327abd345f10eaf00d6b5b14db5450b6bb545a820";

}  // namespace tarvik::testing
