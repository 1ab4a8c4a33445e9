#include "access/AccessTables.h"

namespace AccessTables {

namespace {

const QString Never = QStringLiteral("Never");
const QString KeyA = QStringLiteral("Key A");
const QString KeyB = QStringLiteral("Key B");
const QString KeyAB = QStringLiteral("Key A/B");

bool validIndex(int k)
{
    return k >= 0 && k <= 7;
}

QStringList cBits(int k)
{
    return {QString::number((k >> 2) & 1), QString::number((k >> 1) & 1), QString::number(k & 1)};
}

// Who may do what on a data block, per access index.
struct DataRights {
    const QString &read, &write, &increment, &decrement;
};

DataRights dataRights(int k)
{
    switch (k) {
    case 0: return {KeyAB, KeyAB, KeyAB, KeyAB};
    case 1: return {KeyAB, Never, Never, KeyAB};
    case 2: return {KeyAB, Never, Never, Never};
    case 3: return {KeyB, KeyB, Never, Never};
    case 4: return {KeyAB, KeyB, Never, Never};
    case 5: return {KeyB, Never, Never, Never};
    case 6: return {KeyAB, KeyB, KeyB, KeyAB};
    default: return {Never, Never, Never, Never};
    }
}

struct TrailerRights {
    const QString &keyARead, &keyAWrite, &bitsRead, &bitsWrite, &keyBRead, &keyBWrite;
};

TrailerRights trailerRights(int k)
{
    switch (k) {
    case 0: return {Never, KeyA, KeyA, Never, KeyA, KeyA};
    case 1: return {Never, KeyA, KeyA, KeyA, KeyA, KeyA};
    case 2: return {Never, Never, KeyA, Never, KeyA, Never};
    case 3: return {Never, KeyB, KeyAB, KeyB, Never, KeyB};
    case 4: return {Never, KeyB, KeyAB, Never, Never, KeyB};
    case 5: return {Never, Never, KeyAB, KeyB, Never, Never};
    case 6: return {Never, Never, KeyAB, Never, Never, Never};
    default: return {Never, Never, KeyAB, Never, Never, Never};
    }
}

QStringList dataDescriptions(int k)
{
    const QString r1 = QStringLiteral("Block data can be read with (Key A) or (Key B)* passwords");
    const QString r2 = QStringLiteral("Block data can be read with (Key B)* password");
    const QString r0 = QStringLiteral("Block data can (Never) be read");
    const QString w1 = QStringLiteral("Block data can be modified/written with (Key A) or (Key B)* passwords");
    const QString w2 = QStringLiteral("Block data can be modified/written with (Key B)* password");
    const QString w0 = QStringLiteral("!!! Block data can (Never) be modified/written !!!");
    const QString i1 = QStringLiteral("Block data can be incremented with (Key A) or (Key B)* passwords");
    const QString i2 = QStringLiteral("Block data can be incremented with (Key B)* password");
    const QString i0 = QStringLiteral("Block data can (Never) be incremented");
    const QString d1 = QStringLiteral("Block data can be decremented with (Key A) or (Key B)* passwords");
    const QString d0 = QStringLiteral("Block data can (Never) be decremented");
    switch (k) {
    case 0: return {r1, w1, i1, d1};
    case 1: return {r1, w0, i0, d1};
    case 2: return {r1, w0, i0, d0};
    case 3: return {r2, w2, i0, d0};
    case 4: return {r1, w2, i0, d0};
    case 5: return {r2, w0, i0, d0};
    case 6: return {r1, w2, i2, d1};
    default: return {r0, w0, i0, d0};
    }
}

QStringList trailerDescriptions(int k)
{
    const QString ar0 = QStringLiteral("Key A can (Never) be read");
    const QString aw1 = QStringLiteral("Key A can be modified/written only with (Key A) password");
    const QString aw2 = QStringLiteral("Key A can be modified/written only with (Key B) password");
    const QString aw3 = QStringLiteral("Key A can be modified/written with only (Key A) password");
    const QString aw4 = QStringLiteral("Key A can be modified/written with only (Key B) password");
    const QString aw0 = QStringLiteral("!!! Key A can (Never) be modified/written !!!");
    const QString br1 = QStringLiteral("Access Bits can be read only with (Key A) password");
    const QString br2 = QStringLiteral("Access Bits can be read  with (Key A) or (Key B) passwords");
    const QString bw1 = QStringLiteral("Access Bits can be modified/written only with (Key A) password");
    const QString bw2 = QStringLiteral("Access Bits can be modified/written only with (Key B) password");
    const QString bw0 = QStringLiteral("!!! Access Bits can (Never) be modified/written !!!");
    const QString kr1 = QStringLiteral("Key B can be read only with (Key A) password.Access to data blocks with (Key B) will fail!");
    const QString kr0 = QStringLiteral("Key B can (Never) be read");
    const QString kw1 = QStringLiteral("Key B can be modified/written only with (Key A) password");
    const QString kw2 = QStringLiteral("Key B can be modified/written only with (Key B) password");
    const QString kw0 = QStringLiteral("!!! Key B can (Never) be modified/written !!!");
    switch (k) {
    case 0: return {ar0, aw1, br1, bw0, kr1, kw1};
    case 1: return {ar0, aw3, br1, bw1, kr1, kw1};
    case 2: return {ar0, aw0, br1, bw0, kr1, kw0};
    case 3: return {ar0, aw4, br2, bw2, kr0, kw2};
    case 4: return {ar0, aw2, br2, bw0, kr0, kw2};
    case 5: return {ar0, aw0, br2, bw2, kr0, kw0};
    case 6: return {ar0, aw0, br2, bw0, kr0, kw0};
    default: return {ar0, aw0, br2, bw0, kr0, kw0};
    }
}

} // namespace

int displayRowOf(int k)
{
    for (int row = 0; row < int(DisplayOrder.size()); ++row) {
        if (DisplayOrder[row] == k)
            return row;
    }
    return -1;
}

QStringList dataCaptions()
{
    return {QStringLiteral("C1"), QStringLiteral("C2"), QStringLiteral("C3"), QStringLiteral("  Read"),
            QStringLiteral("  Write"), QStringLiteral("Increment"), QStringLiteral("Decrement / Transfer / Restore")};
}

QList<int> dataColumnWidths()
{
    return {22, 22, 22, 45, 45, 60, 192};
}

QStringList dataRow(int k)
{
    if (!validIndex(k))
        return {};
    const DataRights r = dataRights(k);
    return cBits(k) + QStringList{r.read, r.write, r.increment, r.decrement};
}

QStringList trailerGroupCaptions()
{
    return {QString(), QString(), QString(), QStringLiteral("  Key A"), QString(),
            QStringLiteral("   Access Bits"), QString(), QStringLiteral("  Key B"), QString()};
}

QStringList trailerCaptions()
{
    return {QStringLiteral("C1"), QStringLiteral("C2"), QStringLiteral("C3"), QStringLiteral("  Read"),
            QStringLiteral("  Write"), QStringLiteral("     Read"), QStringLiteral("     Write"),
            QStringLiteral("  Read"), QStringLiteral("  Write")};
}

QList<int> trailerColumnWidths()
{
    return {22, 22, 22, 45, 45, 80, 80, 45, 45};
}

QStringList trailerRow(int k)
{
    if (!validIndex(k))
        return {};
    const TrailerRights r = trailerRights(k);
    return cBits(k) + QStringList{r.keyARead, r.keyAWrite, r.bitsRead, r.bitsWrite, r.keyBRead, r.keyBWrite};
}

bool keyBReadable(int k)
{
    return validIndex(k) && trailerRights(k).keyBRead != Never;
}

QStringList AccessDescriptionTexts(int group, int k)
{
    if (!validIndex(k) || group < 0 || group > 3)
        return {};
    return group == 3 ? trailerDescriptions(k) : dataDescriptions(k);
}

} // namespace AccessTables
