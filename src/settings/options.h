#pragma once

void Opcje();
