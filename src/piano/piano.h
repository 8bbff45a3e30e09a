#pragma once

void Graj();
