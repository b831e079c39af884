#pragma once

// What a view is told about the print job it draws for; nothing the program reads.
class CPrintInfo
{
};
