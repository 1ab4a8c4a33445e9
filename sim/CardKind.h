#pragma once

// The card types the simulator can put on its reader.
enum class CardKind { Classic1K, Classic4K, Ultralight };
