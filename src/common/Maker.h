#pragma once

// The maker's web pages, in one place: the signature and the dialog's buttons use them.
inline constexpr const char* kMakerSite = "https://folioscribe.example.org/";
inline constexpr const char* kMakerProductsPage = "https://folioscribe.example.org/products.html";
inline constexpr const char* kMakerDonationPage =
    "https://folioscribe.example.org/donate.html?product=Folioscribe";
inline constexpr const char* kMakerContactPage = "https://folioscribe.example.org/contact.html";
inline constexpr const char* kProgramVersionLine = "Folioscribe Version 1.22";
inline constexpr const char* kProgramVersion = "Folioscribe 1.22";
