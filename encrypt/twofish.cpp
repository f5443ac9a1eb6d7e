#include "twofish.h"

#include <array>

namespace {

using ByteTable = std::array<std::uint8_t, 256>;
using WordTable = std::uint32_t[4][256];

// The 4-bit permutations t0..t3 from which the fixed byte permutations q0 and
// q1 are built.
constexpr std::uint8_t kQ0Nibbles[4][16] = {
    {0x8, 0x1, 0x7, 0xD, 0x6, 0xF, 0x3, 0x2, 0x0, 0xB, 0x5, 0x9, 0xE, 0xC, 0xA, 0x4},
    {0xE, 0xC, 0xB, 0x8, 0x1, 0x2, 0x3, 0x5, 0xF, 0x4, 0xA, 0x6, 0x7, 0x0, 0x9, 0xD},
    {0xB, 0xA, 0x5, 0xE, 0x6, 0xD, 0x9, 0x0, 0xC, 0x8, 0xF, 0x3, 0x2, 0x4, 0x7, 0x1},
    {0xD, 0x7, 0xF, 0x4, 0x1, 0x2, 0x6, 0xE, 0x9, 0xB, 0x3, 0x0, 0x8, 0x5, 0xC, 0xA},
};
constexpr std::uint8_t kQ1Nibbles[4][16] = {
    {0x2, 0x8, 0xB, 0xD, 0xF, 0x7, 0x6, 0xE, 0x3, 0x1, 0x9, 0x4, 0x0, 0xA, 0xC, 0x5},
    {0x1, 0xE, 0x2, 0xB, 0x4, 0xC, 0x3, 0x7, 0x6, 0xD, 0xA, 0x5, 0xF, 0x9, 0x0, 0x8},
    {0x4, 0xC, 0x7, 0x5, 0x1, 0x6, 0x9, 0xA, 0x0, 0xE, 0xD, 0x8, 0x2, 0xB, 0x3, 0xF},
    {0xB, 0x9, 0x5, 0x1, 0xC, 0x3, 0xD, 0xE, 0x6, 0x4, 0x7, 0xF, 0x2, 0x0, 0x8, 0xA},
};

// The MDS matrix (field polynomial x^8 + x^6 + x^5 + x^3 + 1) and the
// Reed-Solomon matrix (x^8 + x^6 + x^3 + x^2 + 1).
constexpr unsigned kMdsPolynomial = 0x169;
constexpr std::uint8_t kMds[4][4] = {
    {0x01, 0xEF, 0x5B, 0x5B},
    {0x5B, 0xEF, 0xEF, 0x01},
    {0xEF, 0x5B, 0x01, 0xEF},
    {0xEF, 0x01, 0xEF, 0x5B},
};
constexpr unsigned kRsPolynomial = 0x14D;
constexpr std::uint8_t kRs[4][8] = {
    {0x01, 0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E},
    {0xA4, 0x56, 0x82, 0xF3, 0x1E, 0xC6, 0x68, 0xE5},
    {0x02, 0xA1, 0xFC, 0xC1, 0x47, 0xAE, 0x3D, 0x19},
    {0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E, 0x03},
};

constexpr std::uint8_t rotateNibbleRight(unsigned x) { return static_cast<std::uint8_t>(((x >> 1) | (x << 3)) & 0xF); }

constexpr ByteTable buildPermutation(const std::uint8_t (&t)[4][16])
{
    ByteTable q{};
    for (unsigned x = 0; x < 256; ++x) {
        unsigned a = x >> 4, b = x & 0xF;
        unsigned a1 = a ^ b;
        unsigned b1 = a ^ rotateNibbleRight(b) ^ ((a << 3) & 0xF);
        a = t[0][a1];
        b = t[1][b1];
        unsigned a2 = a ^ b;
        unsigned b2 = a ^ rotateNibbleRight(b) ^ ((a << 3) & 0xF);
        q[x] = static_cast<std::uint8_t>((t[3][b2] << 4) | t[2][a2]);
    }
    return q;
}

constexpr ByteTable kQ0 = buildPermutation(kQ0Nibbles);
constexpr ByteTable kQ1 = buildPermutation(kQ1Nibbles);

// Per byte position of h for a two-word list (L0, L1): the permutation applied
// first, the one applied after adding L1, and the one applied after adding L0,
// before the MDS matrix.
constexpr const ByteTable* kFirstPermutation[4] = {&kQ0, &kQ1, &kQ0, &kQ1};
constexpr const ByteTable* kSecondPermutation[4] = {&kQ0, &kQ0, &kQ1, &kQ1};
constexpr const ByteTable* kLastPermutation[4] = {&kQ1, &kQ0, &kQ1, &kQ0};

constexpr std::uint8_t fieldMultiply(unsigned a, unsigned b, unsigned polynomial)
{
    unsigned product = 0;
    for (; b != 0; b >>= 1) {
        if (b & 1)
            product ^= a;
        a <<= 1;
        if (a & 0x100)
            a ^= polynomial;
    }
    return static_cast<std::uint8_t>(product);
}

constexpr std::uint32_t rotateLeft(std::uint32_t x, unsigned n) { return (x << n) | (x >> (32 - n)); }
constexpr std::uint32_t rotateRight(std::uint32_t x, unsigned n) { return (x >> n) | (x << (32 - n)); }
constexpr unsigned byteOf(std::uint32_t word, unsigned position) { return (word >> (8 * position)) & 0xFF; }

// The last permutation of each byte position times its MDS column, shared by
// every key. Single-threaded use only: the flag is a plain one.
bool needSharedTables = true;
WordTable sharedTables;

void buildSharedTables()
{
    for (unsigned position = 0; position < 4; ++position) {
        for (unsigned x = 0; x < 256; ++x) {
            const unsigned y = (*kLastPermutation[position])[x];
            std::uint32_t column = 0;
            for (unsigned row = 0; row < 4; ++row)
                column |= std::uint32_t{fieldMultiply(y, kMds[row][position], kMdsPolynomial)} << (8 * row);
            sharedTables[position][x] = column;
        }
    }
    needSharedTables = false;
}

// One byte position of h(x, (l0, l1)) before the outputs are added.
std::uint32_t hColumn(unsigned position, unsigned x, std::uint32_t l0, std::uint32_t l1)
{
    const unsigned first = (*kFirstPermutation[position])[x] ^ byteOf(l1, position);
    const unsigned second = (*kSecondPermutation[position])[first] ^ byteOf(l0, position);
    return sharedTables[position][second];
}

std::uint32_t h(std::uint32_t x, std::uint32_t l0, std::uint32_t l1)
{
    return hColumn(0, byteOf(x, 0), l0, l1) ^ hColumn(1, byteOf(x, 1), l0, l1) ^
           hColumn(2, byteOf(x, 2), l0, l1) ^ hColumn(3, byteOf(x, 3), l0, l1);
}

// The Reed-Solomon code of two key words (key bytes 8i to 8i + 7).
std::uint32_t reedSolomonWord(std::uint32_t even, std::uint32_t odd)
{
    std::uint8_t keyBytes[8];
    for (unsigned i = 0; i < 4; ++i) {
        keyBytes[i] = static_cast<std::uint8_t>(byteOf(even, i));
        keyBytes[4 + i] = static_cast<std::uint8_t>(byteOf(odd, i));
    }
    std::uint32_t word = 0;
    for (unsigned row = 0; row < 4; ++row) {
        unsigned sum = 0;
        for (unsigned column = 0; column < 8; ++column)
            sum ^= fieldMultiply(keyBytes[column], kRs[row][column], kRsPolynomial);
        word |= std::uint32_t{static_cast<std::uint8_t>(sum)} << (8 * row);
    }
    return word;
}

std::uint32_t loadLittleEndian(const std::uint8_t* bytes)
{
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

void storeLittleEndian(std::uint32_t word, std::uint8_t* bytes)
{
    bytes[0] = static_cast<std::uint8_t>(word);
    bytes[1] = static_cast<std::uint8_t>(word >> 8);
    bytes[2] = static_cast<std::uint8_t>(word >> 16);
    bytes[3] = static_cast<std::uint8_t>(word >> 24);
}

// g(x) with the key-dependent tables.
inline std::uint32_t g(const WordTable& t, std::uint32_t x)
{
    return t[0][x & 0xFF] ^ t[1][(x >> 8) & 0xFF] ^ t[2][(x >> 16) & 0xFF] ^ t[3][x >> 24];
}

// g(ROL(x, 8)) without the rotation.
inline std::uint32_t gRotated(const WordTable& t, std::uint32_t x)
{
    return t[0][x >> 24] ^ t[1][x & 0xFF] ^ t[2][(x >> 8) & 0xFF] ^ t[3][(x >> 16) & 0xFF];
}

}  // namespace

void LoadCipherKeyBytes(CipherKey& key, const std::uint8_t (&bytes)[16])
{
    for (unsigned i = 0; i < 8; ++i)
        key.keyWords[i] = i < 4 ? loadLittleEndian(bytes + 4 * i) : 0;
}

bool SetUpCipherKey(CipherKey& key)
{
    if (key.direction != kCipherDirectionEncrypt || key.keyLength != 128 || key.rounds != 16)
        return false;
    if (needSharedTables)
        buildSharedTables();

    const std::uint32_t* m = key.keyWords;
    // Words in reverse order of the key halves they come from, as g takes them.
    key.sboxKeys[0] = reedSolomonWord(m[2], m[3]);
    key.sboxKeys[1] = reedSolomonWord(m[0], m[1]);
    key.sboxKeys[2] = 0;
    key.sboxKeys[3] = 0;

    constexpr std::uint32_t rho = 0x01010101;
    for (std::uint32_t i = 0; i < 20; ++i) {
        const std::uint32_t a = h(2 * i * rho, m[0], m[2]);
        const std::uint32_t b = rotateLeft(h((2 * i + 1) * rho, m[1], m[3]), 8);
        key.subkeys[2 * i] = a + b;
        key.subkeys[2 * i + 1] = rotateLeft(a + 2 * b, 9);
    }

    for (unsigned position = 0; position < 4; ++position)
        for (unsigned x = 0; x < 256; ++x)
            key.keyTables[position][x] = hColumn(position, x, key.sboxKeys[0], key.sboxKeys[1]);
    return true;
}

int EncipherBlock(const CipherMode& mode, const CipherKey& key, const std::uint8_t* input, std::uint8_t* output)
{
    if (mode.mode != kCipherModeElectronicCodebook || key.direction != kCipherDirectionEncrypt ||
        key.keyLength != 128 || key.rounds != 16)
        return -1;

    const WordTable& t = key.keyTables;
    const std::uint32_t* k = key.subkeys;
    std::uint32_t x0 = loadLittleEndian(input) ^ k[0];
    std::uint32_t x1 = loadLittleEndian(input + 4) ^ k[1];
    std::uint32_t x2 = loadLittleEndian(input + 8) ^ k[2];
    std::uint32_t x3 = loadLittleEndian(input + 12) ^ k[3];

    // Two rounds per pass, so the halves trade places by naming instead of
    // by copying.
    for (unsigned round = 0; round < 16; round += 2) {
        std::uint32_t t0 = g(t, x0);
        std::uint32_t t1 = gRotated(t, x1);
        x2 = rotateRight(x2 ^ (t0 + t1 + k[8 + 2 * round]), 1);
        x3 = rotateLeft(x3, 1) ^ (t0 + 2 * t1 + k[9 + 2 * round]);

        t0 = g(t, x2);
        t1 = gRotated(t, x3);
        x0 = rotateRight(x0 ^ (t0 + t1 + k[10 + 2 * round]), 1);
        x1 = rotateLeft(x1, 1) ^ (t0 + 2 * t1 + k[11 + 2 * round]);
    }

    // Output whitening on the halves as they stand before the last swap.
    storeLittleEndian(x2 ^ k[4], output);
    storeLittleEndian(x3 ^ k[5], output + 4);
    storeLittleEndian(x0 ^ k[6], output + 8);
    storeLittleEndian(x1 ^ k[7], output + 12);
    return kCipherBlockBits;
}
