// Fixed Japanese texts of the product line, as their code page 932 bytes
// whatever code page the system runs with: they are compared and passed as
// these bytes.
#pragma once

// "パッチ・SP適用ファイル": name shown when the patch description gives none (22 bytes).
constexpr char DEFAULT_MODULE_NAME[] = "\x83p\x83" "b\x83`\x81" "ESP\x93K\x97p\x83t\x83@\x83" "C\x83\x8B";

// "インストーラ生成ソフト": display name and window title of the installer-creator tool (22 bytes).
constexpr char INSTALLER_CREATOR_NAME[] = "\x83" "C\x83\x93\x83X\x83g\x81[\x83\x89\x90\xB6\x90\xAC\x83\x5C\x83t\x83g";

// "セキュリティ強化版インストーラ生成ソフト": window title of its security-enhanced edition (40 bytes).
constexpr char INSTALLER_CREATOR_ENHANCED_TITLE[] = "\x83Z\x83L\x83\x85\x83\x8A\x83" "e\x83" "B\x8B\xAD\x89\xBB\x94\xC5\x83" "C\x83\x93\x83X\x83g\x81[\x83\x89\x90\xB6\x90\xAC\x83\x5C\x83t\x83g";

// "ログ情報管理": window title of the log-management tool (12 bytes).
constexpr char LOG_MANAGER_TITLE[] = "\x83\x8D\x83O\x8F\xEE\x95\xF1\x8A\xC7\x97\x9D";

// "ログ情報管理 ログイン": window title of its login window (21 bytes).
constexpr char LOG_MANAGER_LOGIN_TITLE[] = "\x83\x8D\x83O\x8F\xEE\x95\xF1\x8A\xC7\x97\x9D \x83\x8D\x83O\x83" "C\x83\x93";

// "VORN未インストール": VORN_INST value when the security-enhanced edition is not installed (18 bytes).
constexpr char ENHANCED_NOT_INSTALLED_MARKER[] = "VORN\x96\xA2\x83" "C\x83\x93\x83X\x83g\x81[\x83\x8B";

