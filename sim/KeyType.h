#pragma once

// The two keys of a MIFARE Classic sector.
enum class KeyType { A, B };
