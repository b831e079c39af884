#pragma once

// The stream a document serialises through; nothing is ever stored or loaded through it.
class CArchive
{
};
