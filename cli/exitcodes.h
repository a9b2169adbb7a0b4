#pragma once
// Exit statuses shared by every command of orvelle-index.

enum ExitCode { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };
