#pragma once

// The languages the tool speaks; every text the user reads exists in both.
enum class Language { English, Italian };
