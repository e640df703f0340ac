#include "velcomp/Package.h"

#include <algorithm>

namespace velcomp {

void Package::SetString(std::string_view key, std::string_view value) {
    if (!ConfigFile::IsValidKey(key)) {
        return;
    }
    const auto same = [key](const auto& entry) { return entry.first == key; };
    const auto it = std::find_if(strings_.begin(), strings_.end(), same);
    if (it != strings_.end()) {
        it->second = value;
    } else {
        strings_.emplace_back(key, value);
    }
}

void Package::Put(Asset asset) {
    const auto same = [&asset](const Asset& held) { return held.name == asset.name; };
    assets_.erase(std::remove_if(assets_.begin(), assets_.end(), same), assets_.end());
    assets_.push_back(std::move(asset));
}

const Asset* Package::Find(std::string_view assetName) const {
    for (const Asset& asset : assets_) {
        if (asset.name == assetName) {
            return &asset;
        }
    }
    return nullptr;
}

ConfigFile Package::ConfigFor(const Asset& asset) const {
    ConfigFile config = asset.sourceConfig;
    for (const ConfigEntries* layer : {&strings_, &asset.identity}) {
        for (const auto& [key, value] : *layer) {
            config.Set(key, value);
        }
    }
    return config;
}

std::filesystem::path SourceRoot(const std::filesystem::path& source) {
    std::filesystem::path root = source;
    while (!root.has_filename() && root.has_relative_path()) {
        root = root.parent_path();
    }
    return root;
}

}  // namespace velcomp
